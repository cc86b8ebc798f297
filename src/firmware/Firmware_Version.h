// Where the controller's application keeps its firmware version in flash: the minor byte, then the
// major byte. A major byte of 0xFF is erased flash: no firmware.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t FIRMWARE_VERSION_ADDRESS = 0x08003C02;
inline constexpr std::uint8_t FIRMWARE_ERASED = 0xFF;
