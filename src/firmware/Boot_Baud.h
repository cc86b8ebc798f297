// The baud rates of a bootloader session. The ROM bootloader takes its rate from the 0x7F that
// follows its reset; ST's AN3155 ("Choosing the USARTx baud rate") gives 1200 to 115200 baud for it.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t BOOT_BAUD_MIN = 1200;
inline constexpr std::uint32_t BOOT_BAUD_MAX = 115200;
// The rate of every other exchange with the controller, and the one a session falls back to.
inline constexpr std::uint32_t BOOT_BAUD_SAFE = 38400;
