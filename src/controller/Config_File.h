// Configuration files: one raw TVOK_Prop record of 132 bytes, each field a little-endian
// two's-complement 32-bit integer, no header.
#pragma once

#include "controller/TVOK_Prop.h"

#include <filesystem>
#include <stdexcept>

// A file that cannot be created, opened, read or written; the message is the system's description.
class TFile_Error : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Creates or replaces the file with exactly 132 bytes, as TAtomic_File writes: the old file stays
// whole if writing fails.
void Write_Config_File(const std::filesystem::path& path, const TVOK_Prop& prop);

// Reads the first 132 bytes (later bytes are ignored). A shorter file is refused and the record is
// left as it was, so a failed open never leaves half a file in the live record.
void Read_Config_File(const std::filesystem::path& path, TVOK_Prop& prop);

// The 132 bytes of a record, and back.
std::array<std::uint8_t, VOK_PROP_SIZE> Encode_Config(const TVOK_Prop& prop);
TVOK_Prop Decode_Config(const std::array<std::uint8_t, VOK_PROP_SIZE>& bytes);
