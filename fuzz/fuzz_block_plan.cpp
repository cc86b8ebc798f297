// Fuzz target: the block planner. For any sound image inside the flash, every block lies inside
// the flash, starts on a 256-byte boundary or at the image's first word, holds a whole number of
// 32-bit words and at most 256 bytes, the blocks cover every data byte of the image exactly once,
// and the blocks of the reset vectors and of the version come last, in that order.
#include "Fuzz_Support.h"
#include "firmware/Firmware_Version.h"
#include "firmware/Plan_Blocks.h"

#include <map>
#include <string_view>

namespace {
constexpr TFlash_Range FLASH{0x08000000, 0x08020000};  // an STM32F1 of medium density

bool Holds(const TBlock& block, std::uint32_t address) {
  return address >= block.Address && address - block.Address < block.Count;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto read = THex_Image::Parse(std::string_view(reinterpret_cast<const char*>(data), size), FLASH);
  const THex_Image* image = std::get_if<THex_Image>(&read);
  if (!image) return 0;
  const TBlock_Phases phases = Plan_Blocks(*image, FLASH.First);
  std::map<std::uint32_t, int> covered;
  const std::uint32_t first_word = image->First_Address() & ~3u;
  for (std::size_t phase = 0; phase < phases.size(); ++phase) {
    Require(!phases[phase].empty(), "no phase is empty");
    for (const TBlock& block : phases[phase]) {
      Require(block.Address >= FLASH.First && block.Address + std::uint64_t{block.Count} <= FLASH.End,
              "a block lies inside the flash");
      Require((block.Address - FLASH.First) % 256 == 0 || block.Address == first_word,
              "a block starts on a 256-byte boundary or at the image's first word");
      Require(block.Count > 0 && block.Count <= 256 && block.Count % 4 == 0, "a block holds 1 to 64 whole words");
      for (std::uint32_t at = block.Address; at < block.Address + block.Count; ++at)
        if (image->Holds_Data(at, 1)) ++covered[at];
      const bool vectors = Holds(block, FLASH.First), version = Holds(block, FIRMWARE_VERSION_ADDRESS);
      const bool last = phase + 1 == phases.size();
      if (!vectors && !version) Require(phase == 0, "the blocks without vectors or version go first");
      if (version) Require(last, "the version's block goes last of all");
      if (vectors && !version) Require(last || phase + 2 == phases.size(), "the vectors' block goes before the version's");
    }
  }
  std::size_t bytes = 0;
  for (const auto& [address, times] : covered) {
    Require(times == 1, "every data byte is written exactly once");
    ++bytes;
  }
  Require(bytes == image->Data_Size(), "every data byte is written");
  return 0;
}
