// Intel-HEX files made by srec_cat (package srecord), a tool independent of this program, from a
// binary image. Tests that need one skip when srec_cat is not installed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// `image` at `address` in records of `record_size` data bytes, written to `hex`; nullopt when
// srec_cat is missing or fails.
std::optional<std::filesystem::path> Srec_Cat_Hex(const std::vector<std::uint8_t>& image, std::uint32_t address,
                                                  int record_size, const std::filesystem::path& hex);
