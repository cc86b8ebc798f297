// ST's USART bootloader protocol (application note AN3155): the bytes this program sends and expects.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t AN3155_SYNC = 0x7F;          // first byte after reset; sets the baud rate
inline constexpr std::uint8_t AN3155_ACK = 0x79;           // acknowledgement
inline constexpr std::uint8_t AN3155_NACK = 0x1F;          // refusal
inline constexpr std::uint8_t AN3155_GET = 0x00;           // Get: version and command codes
inline constexpr std::uint8_t AN3155_GET_ANSWER_BYTES = 13;  // count, version and 11 command codes
inline constexpr std::uint8_t AN3155_GLOBAL_ERASE = 0xFF;  // Erase: the whole flash...
inline constexpr std::uint8_t AN3155_GLOBAL_ERASE_CHECKSUM = 0x00;  // ...and its checksum
inline constexpr std::uint8_t AN3155_STM32_PRODUCT = 0x04;  // high byte of every STM32F1 product id
inline constexpr unsigned AN3155_MAX_BLOCK = 256;           // bytes one Read or Write Memory carries
