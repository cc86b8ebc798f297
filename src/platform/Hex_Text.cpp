#include "platform/Hex_Text.h"

#include <cstdio>

std::string Hex_Text(std::uint64_t value, int digits, THex_Case letters) {
  char text[24];
  std::snprintf(text, sizeof text, letters == HEX_LOWER ? "%0*llx" : "%0*llX", digits,
                static_cast<unsigned long long>(value));
  return text;
}

std::string Hex_Address(std::uint32_t address) { return "0x" + Hex_Text(address, 8); }
