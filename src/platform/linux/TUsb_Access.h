// The USB device of a bridge through libusb: control requests and the port reset. libusb is
// started on first use, so a run that never switches a bridge never needs access to the USB bus.
// Threads may share it: libusb's synchronous calls are safe from several threads on one context.
#pragma once

#include "platform/TBridge_Host.h"

#include <cstdint>
#include <mutex>
#include <span>

struct libusb_context;

class TUsb_Access {
public:
  TUsb_Access() = default;
  ~TUsb_Access();
  TUsb_Access(const TUsb_Access&) = delete;
  TUsb_Access& operator=(const TUsb_Access&) = delete;

  // errno values, 0 for success. The device is the one at bus:address, and only while it still has
  // the bridge's vendor and product id: an address the bus gave to another device since the
  // listing is never sent a request.
  int Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
              std::size_t& transferred);
  // The device leaves the bus and enumerates again; that it cannot be found afterwards is success.
  int Reset(const TBridge& bridge);

private:
  // Runs `request` on the bridge's device, opened; a libusb error code.
  int With_Device(const TBridge& bridge, auto&& request);

  std::once_flag Started_;
  int Start_Error_ = 0;  // of libusb_init
  libusb_context* Context_ = nullptr;
};
