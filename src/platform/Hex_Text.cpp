#include "platform/Hex_Text.h"

#include <cstdio>

std::string Hex_Text(std::uint32_t value, int digits, THex_Case letters) {
  char text[16];
  std::snprintf(text, sizeof text, letters == HEX_LOWER ? "%0*x" : "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

std::string Hex_Address(std::uint32_t address) { return "0x" + Hex_Text(address, 8); }
