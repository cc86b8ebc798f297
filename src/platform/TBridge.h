// A USB serial bridge as the host lists it: where it is plugged in, its tty, and who the chip says
// it is.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <string>

// What tells one attachment of a bridge from another: the address changes when it re-enumerates,
// and usually the tty too.
struct TBridge_Key {
  std::string Tty;       // ttyUSB0
  std::string Usb_Path;  // the USB device's name in sysfs: bus-port.port (1-1.4)
  int Bus = 0;
  int Address = 0;
  auto operator<=>(const TBridge_Key&) const = default;
};

struct TBridge {
  TBridge_Key Key;
  std::filesystem::path Node;  // the tty's device node
  std::uint16_t Vid = 0;
  std::uint16_t Pid = 0;
  std::string Product;  // the chip's own USB product string; empty when the device has none
  std::string Serial;   // its USB serial number; empty when it has none
};

// The same bridge after it re-enumerated: plugged into the same USB port and reporting the same
// serial number. Its address and its tty may both have changed, so neither tells.
bool Same_Bridge(const TBridge& before, const TBridge& after);

// "/dev/ttyUSB0 (USB 1-1.4)": how a bridge is named to the user.
std::string Bridge_Name(const TBridge& bridge);
