// What a Linux host offers of its CP210x bridges: the bridges sysfs lists, the tty of each, and the
// USB device's control requests and port reset. The real system and the virtual boards each
// implement it, so that the code mapping it to the two bridge libraries runs the same on both.
// Errors are errno values, 0 for success.
#pragma once

#include "platform/TBridge.h"
#include "platform/TTty.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A control request on the USB device's endpoint 0.
struct TUsb_Control {
  std::uint8_t Request_Type;  // direction, type and recipient (0xC0: vendor, device to host)
  std::uint8_t Request;
  std::uint16_t Value;
  std::uint16_t Index;
};

class TBridge_Host {
public:
  virtual ~TBridge_Host() = default;

  // The ttys the kernel's cp210x driver serves, ordered by USB path; nothing when the listing
  // cannot be read.
  virtual std::optional<std::vector<TBridge>> Find_Bridges() = 0;

  // Opens the bridge's tty raw at 38400 8N1, exclusively. The kernel asserts DTR and RTS as the
  // tty opens, and releases both when its last opener closes it.
  virtual std::unique_ptr<TTty> Open_Tty(const TBridge& bridge, int& error) = 0;

  // A control transfer to the bridge's USB device: `data` is sent, or filled for a request that
  // reads, and `transferred` counts the bytes that moved. EPIPE: the device refused the request.
  virtual int Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
                      std::size_t& transferred) = 0;

  // Resets the USB port: the bridge leaves the bus and enumerates again as a new device with the
  // configuration it holds.
  virtual int Reset_Port(const TBridge& bridge) = 0;

  // How the bridge's USB device is named to the user: the node whose access decides whether the
  // control requests may be sent.
  virtual std::string Usb_Device_Name(const TBridge& bridge) const = 0;
};
