// The two USB requests of the manufacturing view, through libusb: writing the CP210x's product id
// and resetting the device. libusb is started on first use, so a run that never switches a bridge
// never needs access to the USB bus.
#pragma once

#include <cstdint>

struct libusb_context;

class TUsb_Access {
public:
  TUsb_Access() = default;
  ~TUsb_Access();
  TUsb_Access(const TUsb_Access&) = delete;
  TUsb_Access& operator=(const TUsb_Access&) = delete;

  // libusb error codes, 0 for success.
  int Write_Product_Id(int bus, int address, std::uint16_t pid);
  // The device leaves the bus and enumerates again; that it cannot be found afterwards is success.
  int Reset(int bus, int address);

private:
  // Runs `request` on the device opened at bus:address.
  int With_Device(int bus, int address, auto&& request);

  libusb_context* Context_ = nullptr;
};

// The errno value that tells the same cause as a libusb error code, for the user's message.
int Usb_Errno(int usb_error);
