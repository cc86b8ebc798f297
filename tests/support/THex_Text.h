// Intel-HEX text for tests, built record by record with correct counts and checksums.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::string Record(std::uint16_t offset, std::uint8_t type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(offset >> 8),
                                  static_cast<std::uint8_t>(offset), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (auto b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  bytes.push_back(static_cast<std::uint8_t>(-sum));
  std::string line = ":";
  char digits[3];
  for (auto b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    line += digits;
  }
  return line + "\n";
}

inline const std::string END = Record(0, 0x01, {});

// `data` from `address` on in records of `per_record` bytes, with an extended linear address record
// first and wherever the upper 16 bits change; no end record.
inline std::string Data_Records(std::uint32_t address, const std::vector<std::uint8_t>& data, std::size_t per_record) {
  std::string text;
  std::uint32_t upper = ~0u;
  for (std::size_t at = 0; at < data.size(); at += per_record) {
    const auto here = static_cast<std::uint32_t>(address + at);
    if (here >> 16 != upper) {
      upper = here >> 16;
      text += Record(0, 0x04, {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)});
    }
    const std::size_t count = std::min(per_record, data.size() - at);
    text += Record(static_cast<std::uint16_t>(here), 0x00, {data.begin() + at, data.begin() + at + count});
  }
  return text;
}

// Bytes that differ from their neighbours and from erased flash.
inline std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t seed = 0) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 256 + seed) % 251);
  return bytes;
}
