#include "platform/Printable_Text.h"

std::string Printable_Text(std::string_view text) {
  static constexpr char DIGITS[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += DIGITS[byte >> 4];
      shown += DIGITS[byte & 0x0F];
    }
  }
  return shown;
}
