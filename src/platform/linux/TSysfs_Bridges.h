// Finds the CP210x bridges among the serial ports by walking sysfs: a tty counts when the kernel's
// cp210x driver serves its USB interface. The roots are parameters so a fake tree can stand in.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What tells one attachment of a bridge from another: the address changes when it re-enumerates.
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
  std::string Product;  // the USB product string; empty when the device has none
};

// The bridges, ordered by their USB bus path; nothing when the sysfs tty class cannot be read.
std::optional<std::vector<TBridge>> Find_Bridges(const std::filesystem::path& sys_root,
                                                 const std::filesystem::path& dev_root);

// "/dev/ttyUSB0 (USB 1-1.4)": how a bridge is named to the user.
std::string Bridge_Name(const TBridge& bridge);
