// The part numbers a CP210x reports (vendor request 0xFF, value 0x370B, one byte), as the kernel's
// cp210x driver reads them at attach (drivers/usb/serial/cp210x.c, CP210X_PARTNUM_*), and what they
// mean for rewriting the product id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::uint8_t CP210X_PART_CP2101 = 0x01;
inline constexpr std::uint8_t CP210X_PART_CP2102 = 0x02;
inline constexpr std::uint8_t CP210X_PART_CP2103 = 0x03;
inline constexpr std::uint8_t CP210X_PART_CP2104 = 0x04;
inline constexpr std::uint8_t CP210X_PART_CP2105 = 0x05;
inline constexpr std::uint8_t CP210X_PART_CP2108 = 0x08;
inline constexpr std::uint8_t CP210X_PART_CP2102N_QFN28 = 0x20;
inline constexpr std::uint8_t CP210X_PART_CP2102N_QFN24 = 0x21;
inline constexpr std::uint8_t CP210X_PART_CP2102N_QFN20 = 0x22;

// The CP2102N keeps its whole configuration in one checksummed block.
bool Is_CP2102N(std::uint8_t part);
// The CP2104's configuration memory is one-time programmable (its data sheet): the product id can
// be written once, and a second write fails.
inline bool Is_One_Time_Programmable(std::uint8_t part) { return part == CP210X_PART_CP2104; }

// "CP2102", "CP2102N"; "part 0x07" for a number this program does not know.
std::string Part_Name(std::uint8_t part);
// The part a lower-case name stands for ("cp2102", "cp2102n", "cp2104"), for choosing the virtual
// board's chip; nothing for another name.
std::optional<std::uint8_t> Part_Named(std::string_view name);
// The names Part_Named takes, for messages: "cp2102, cp2102n or cp2104".
inline constexpr const char* PART_NAMES = "cp2102, cp2102n or cp2104";
