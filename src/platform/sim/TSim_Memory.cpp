#include "platform/sim/TSim_Memory.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
constexpr std::array<TSim_Region, 4> REGIONS = {{
    {SIM_REGION_FLASH, SIM_FLASH_START, SIM_FLASH_SIZE},
    {SIM_REGION_RAM, SIM_RAM_START, SIM_RAM_SIZE},
    {SIM_REGION_SYSTEM, SIM_SYSTEM_START, SIM_SYSTEM_SIZE},
    {SIM_REGION_OPTION, SIM_OPTION_START, SIM_OPTION_SIZE},
}};

// Unprotected option bytes: read protection off (A5 and its complement), user and data bytes and
// every write-protection byte erased, each byte followed by its complement.
constexpr std::array<std::uint8_t, SIM_OPTION_SIZE> OPTION_BYTES = {
    0xA5, 0x5A, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};

// The flash-size register sits near the end of system memory: 128 (KiB), little-endian.
constexpr std::uint32_t FLASH_SIZE_REGISTER = 0x1FFFF7E0;

// Stand-in for the bootloader's code: a fixed pattern, so that reads of system memory are repeatable.
std::vector<std::uint8_t> System_Memory() {
  std::vector<std::uint8_t> bytes(SIM_SYSTEM_SIZE);
  for (std::uint32_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
  const std::uint32_t size_kib = SIM_FLASH_SIZE / 1024;
  bytes[FLASH_SIZE_REGISTER - SIM_SYSTEM_START] = static_cast<std::uint8_t>(size_kib);
  bytes[FLASH_SIZE_REGISTER - SIM_SYSTEM_START + 1] = static_cast<std::uint8_t>(size_kib >> 8);
  return bytes;
}
}  // namespace

TSim_Memory::TSim_Memory(const std::vector<std::uint8_t>& image)
    : Flash_(SIM_FLASH_SIZE, SIM_ERASED),
      Ram_(SIM_RAM_SIZE, 0),
      System_(System_Memory()),
      Option_(OPTION_BYTES.begin(), OPTION_BYTES.end()) {
  std::copy_n(image.begin(), std::min<std::size_t>(image.size(), SIM_FLASH_SIZE), Flash_.begin());
}

std::optional<TSim_Region> TSim_Memory::Region_At(std::uint32_t address) {
  for (const TSim_Region& region : REGIONS)
    if (region.Holds(address, 1)) return region;
  return std::nullopt;
}

std::vector<std::uint8_t>& TSim_Memory::Bytes_Of(TSim_Region_Kind kind) {
  return const_cast<std::vector<std::uint8_t>&>(std::as_const(*this).Bytes_Of(kind));
}

const std::vector<std::uint8_t>& TSim_Memory::Bytes_Of(TSim_Region_Kind kind) const {
  switch (kind) {
    case SIM_REGION_FLASH: return Flash_;
    case SIM_REGION_RAM: return Ram_;
    case SIM_REGION_SYSTEM: return System_;
    case SIM_REGION_OPTION: break;
  }
  return Option_;
}

std::vector<std::uint8_t> TSim_Memory::Read(std::uint32_t address, std::uint32_t count) const {
  const TSim_Region region = *Region_At(address);
  const auto first = Bytes_Of(region.Kind).begin() + (address - region.Start);
  return {first, first + count};
}

void TSim_Memory::Program(std::uint32_t address, std::span<const std::uint8_t> data) {
  const TSim_Region region = *Region_At(address);
  auto target = Bytes_Of(region.Kind).begin() + (address - region.Start);
  if (region.Kind != SIM_REGION_FLASH) {
    std::copy(data.begin(), data.end(), target);
    return;
  }
  for (std::uint8_t value : data) *target++ &= value;
  ++Flash_Changes_;
}

void TSim_Memory::Erase_Page(std::uint32_t page) {
  std::fill_n(Flash_.begin() + page * SIM_PAGE_SIZE, SIM_PAGE_SIZE, SIM_ERASED);
  ++Flash_Changes_;
}

void TSim_Memory::Erase_All() {
  std::fill(Flash_.begin(), Flash_.end(), SIM_ERASED);
  ++Flash_Changes_;
}

bool TSim_Memory::Holds_Application() const {
  return !std::all_of(Flash_.begin(), Flash_.begin() + 4, [](std::uint8_t b) { return b == SIM_ERASED; });
}
