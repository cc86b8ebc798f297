// The 256-byte NUL-terminated product string that both bridge libraries deliver.
#pragma once

#include <array>
#include <cstring>
#include <string>

using SI_DEVICE_STRING = std::array<char, 256>;

// Product strings are passed by both libraries with option 1.
inline constexpr unsigned SI_RETURN_DESCRIPTION = 1;

// The text up to the first NUL, never past the buffer's end.
inline std::string Device_String_Text(const SI_DEVICE_STRING& text) {
  return std::string(text.data(), strnlen(text.data(), text.size()));
}

inline void Set_Device_String(SI_DEVICE_STRING& text, const std::string& value) {
  text.fill('\0');
  value.copy(text.data(), text.size() - 1);
}
