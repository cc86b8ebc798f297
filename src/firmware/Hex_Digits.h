// The hexadecimal digits of Intel-HEX records, upper or lower case; platform/Hex_Text.h writes them.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::uint8_t HEX_NOT_A_DIGIT = 0xFF;

// 0 to 15, or HEX_NOT_A_DIGIT for any other character.
constexpr std::uint8_t Hex_Digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return HEX_NOT_A_DIGIT;
}

// The byte the first two characters of `s` spell; both must be digits.
constexpr std::uint8_t Hex_Byte(std::string_view s) {
  return static_cast<std::uint8_t>(Hex_Digit(s[0]) * 16 + Hex_Digit(s[1]));
}
