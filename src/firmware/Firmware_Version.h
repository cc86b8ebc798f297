// Where the controller's application keeps its firmware version in flash: the minor byte, then the
// major byte. A major byte of 0xFF is erased flash: no firmware.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint32_t FIRMWARE_VERSION_ADDRESS = 0x08003C02;
inline constexpr std::uint8_t FIRMWARE_ERASED = 0xFF;

// The version the program warns of: firmware 2.0 is to be updated to 2.3 or higher.
constexpr bool Old_Firmware(int major, int minor) { return major == 2 && minor == 0; }

// "2.3".
inline std::string Version_Number(int major, int minor) {
  return std::to_string(major) + "." + std::to_string(minor);
}
