// The STM32F1 medium-density ROM bootloader as ST's AN3155 describes it: its answers, command codes
// and identity, and how long its flash work takes.
#pragma once

#include <chrono>
#include <cstdint>

inline constexpr std::uint8_t BOOT_SYNC = 0x7F;  // first byte after reset; its timing gives the baud rate
inline constexpr std::uint8_t BOOT_ACK = 0x79;
inline constexpr std::uint8_t BOOT_NACK = 0x1F;

inline constexpr std::uint8_t BOOT_GET = 0x00;
inline constexpr std::uint8_t BOOT_GET_VERSION = 0x01;  // version and read-protection status
inline constexpr std::uint8_t BOOT_GET_ID = 0x02;
inline constexpr std::uint8_t BOOT_READ_MEMORY = 0x11;
inline constexpr std::uint8_t BOOT_GO = 0x21;
inline constexpr std::uint8_t BOOT_WRITE_MEMORY = 0x31;
inline constexpr std::uint8_t BOOT_ERASE = 0x43;
inline constexpr std::uint8_t BOOT_WRITE_PROTECT = 0x63;
inline constexpr std::uint8_t BOOT_WRITE_UNPROTECT = 0x73;
inline constexpr std::uint8_t BOOT_READOUT_PROTECT = 0x82;
inline constexpr std::uint8_t BOOT_READOUT_UNPROTECT = 0x92;

inline constexpr std::uint8_t BOOT_VERSION = 0x22;  // 2.2
inline constexpr std::uint16_t BOOT_PRODUCT_ID = 0x0410;  // STM32F1 medium density
inline constexpr std::uint8_t BOOT_GLOBAL_ERASE = 0xFF;  // Erase: the whole flash, checksum 0x00
// The fastest sync the autobaud measures ("Choosing the USARTx baud rate"); a faster one goes
// unanswered.
inline constexpr std::uint32_t BOOT_MAX_BAUD = 115200;

// A command code arrives with its complement; a block and its checksum are the XOR of its bytes.
inline constexpr std::uint8_t Boot_Complement(std::uint8_t code) { return code ^ 0xFF; }

inline constexpr std::chrono::microseconds BOOT_TURNAROUND{50};  // from a frame's last byte to the answer
inline constexpr std::chrono::milliseconds BOOT_GLOBAL_ERASE_TIME{40};
inline constexpr std::chrono::milliseconds BOOT_PAGE_ERASE_TIME{20};
inline constexpr std::chrono::milliseconds BOOT_BLOCK_WRITE_TIME{10};  // for 256 bytes of flash
