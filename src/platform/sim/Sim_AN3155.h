// The STM32F1 medium-density ROM bootloader as ST's AN3155 describes it: its answers, command codes
// and identity, and how long its flash work takes. Its own copies of the protocol values, not the
// host's: the board is an independent model, so a mistake on one side shows against the other.
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
// Flash work, from the STM32F103x8/xB data sheet (ST DS5319, "Flash memory characteristics"): a
// half-word programs in 40 to 70 us, typically 52.5 us, so 256 bytes take 6.72 ms. Page erase and
// mass erase each take 20 to 40 ms, with no typical figure given: the model takes the upper one.
inline constexpr std::chrono::nanoseconds BOOT_HALF_WORD_PROGRAM_TIME{52'500};
inline constexpr std::chrono::milliseconds BOOT_GLOBAL_ERASE_TIME{40};
inline constexpr std::chrono::milliseconds BOOT_PAGE_ERASE_TIME{40};
// From the release of reset to a bootloader that takes the sync. NRST rises through the chip's
// pull-up (40 kOhm typical, DS5319 "NRST pin characteristics") charging the board's 100 nF reset
// capacitor (ST's recommended reset network) and crosses its 2 V input-high level after 3.7 ms at
// 3.3 V. ST publishes no start-up time for the F1's bootloader (AN2606 gives one only for later
// families, whose bootloaders also probe CAN and USB); its USART-only start-up is taken as 1 ms.
inline constexpr std::chrono::milliseconds BOOT_START_TIME{5};
