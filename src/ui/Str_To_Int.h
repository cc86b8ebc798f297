// Whole numbers typed into the window's edit boxes.
#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

class TConvert_Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A signed decimal 32-bit number: an optional sign and digits, nothing else. Anything else (letters,
// an empty text, a lone sign, a number out of range) throws "'<text>' is not a valid integer value".
std::int32_t Str_To_Int(const QString& text);
