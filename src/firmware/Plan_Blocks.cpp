#include "firmware/Plan_Blocks.h"

#include "firmware/AN3155.h"
#include "firmware/Firmware_Version.h"

#include <algorithm>

namespace {
constexpr std::uint32_t FLASH_WORD = 4;

bool Holds(const TBlock& block, std::uint32_t address) {
  return address >= block.Address && address - block.Address < block.Count;
}
}  // namespace

TBlock_Phases Plan_Blocks(const THex_Image& image, std::uint32_t flash_start) {
  std::vector<TBlock> body, vectors, version;
  const std::uint64_t end = image.End_Address();
  const std::uint32_t first = flash_start + (image.First_Address() - flash_start) / AN3155_MAX_BLOCK * AN3155_MAX_BLOCK;
  for (std::uint64_t at = first; at < end; at += AN3155_MAX_BLOCK) {
    const auto address = static_cast<std::uint32_t>(at);
    if (!image.Holds_Data(address, AN3155_MAX_BLOCK)) continue;
    const std::uint64_t rest = (end - at + FLASH_WORD - 1) / FLASH_WORD * FLASH_WORD;
    const TBlock block{address, static_cast<unsigned>(std::min<std::uint64_t>(rest, AN3155_MAX_BLOCK))};
    // The version's two bytes never straddle a block: they start on an even address.
    if (Holds(block, FIRMWARE_VERSION_ADDRESS))
      version.push_back(block);
    else if (Holds(block, flash_start))
      vectors.push_back(block);
    else
      body.push_back(block);
  }
  TBlock_Phases phases;
  for (std::vector<TBlock>* phase : {&body, &vectors, &version})
    if (!phase->empty()) phases.push_back(std::move(*phase));
  return phases;
}
