// The USB devices of sysfs that may be the controller's bridge, whether or not a driver serves
// them: what a diagnosis needs when the bridge's tty does not appear.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct TUsb_Device {
  std::string Usb_Path;  // 1-2
  int Bus = 0;
  int Address = 0;
  std::uint16_t Vid = 0;
  std::uint16_t Pid = 0;
  std::string Product;  // the chip's own product string; empty when it has none
  std::string Serial;
  std::string Driver;  // of its first interface: "cp210x", "usbfs" (a program claimed it); empty: none
  std::string Tty;     // "ttyUSB0"; empty when there is none
};

// The devices with a Silicon Labs CP210x id, and any other device whose interface the cp210x driver
// serves, by USB path; nothing when sysfs shows no USB bus or no USB device at all.
std::optional<std::vector<TUsb_Device>> Usb_Devices(const std::filesystem::path& sys_root);
