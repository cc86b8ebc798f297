// Numbers as hexadecimal text, the one form every message and record of the program uses.
#pragma once

#include <cstdint>
#include <string>

enum THex_Case : std::uint8_t { HEX_UPPER, HEX_LOWER };

// `value` in `digits` digits or more, zero-padded: Hex_Text(0x3C02, 4) is "3C02".
std::string Hex_Text(std::uint64_t value, int digits, THex_Case letters = HEX_UPPER);

// "0x08003C02".
std::string Hex_Address(std::uint32_t address);
