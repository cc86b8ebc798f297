#include "controller/Config_File.h"

#include "platform/TAtomic_File.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
constexpr const char* READ_BEYOND_END = "Read beyond end of file";

[[noreturn]] void Throw_System_Error(int error) { throw TFile_Error(std::strerror(error)); }

struct TFile_Closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFile_Closer>;

TFile Open(const std::filesystem::path& path, const char* mode) {
  TFile file(std::fopen(path.c_str(), mode));
  if (!file) Throw_System_Error(errno);
  return file;
}
}  // namespace

std::array<std::uint8_t, VOK_PROP_SIZE> Encode_Config(const TVOK_Prop& prop) {
  std::array<std::uint8_t, VOK_PROP_SIZE> bytes{};
  for (std::size_t i = 0; i < VOK_PROP_FIELDS.size(); ++i) {
    const auto value = static_cast<std::uint32_t>(prop.*VOK_PROP_FIELDS[i].Member);
    for (std::size_t b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<std::uint8_t>(value >> (8 * b));
  }
  return bytes;
}

TVOK_Prop Decode_Config(const std::array<std::uint8_t, VOK_PROP_SIZE>& bytes) {
  TVOK_Prop prop;
  for (std::size_t i = 0; i < VOK_PROP_FIELDS.size(); ++i) {
    std::uint32_t value = 0;
    for (std::size_t b = 0; b < 4; ++b) value |= std::uint32_t{bytes[4 * i + b]} << (8 * b);
    prop.*VOK_PROP_FIELDS[i].Member = static_cast<std::int32_t>(value);
  }
  return prop;
}

void Write_Config_File(const std::filesystem::path& path, const TVOK_Prop& prop) {
  if (const int error = TAtomic_File::Replace(path, Encode_Config(prop))) Throw_System_Error(error);
}

void Read_Config_File(const std::filesystem::path& path, TVOK_Prop& prop) {
  TFile file = Open(path, "rb");
  std::array<std::uint8_t, VOK_PROP_SIZE> bytes{};
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    if (std::ferror(file.get())) Throw_System_Error(errno);
    throw TFile_Error(READ_BEYOND_END);
  }
  prop = Decode_Config(bytes);
}
