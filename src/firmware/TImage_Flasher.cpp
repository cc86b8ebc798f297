#include "firmware/TImage_Flasher.h"

#include "firmware/AN3155.h"
#include "firmware/TSTM32.h"

#include <algorithm>
#include <vector>

namespace {
constexpr std::uint32_t FLASH_WORD = 4;

struct TBlock {
  std::uint32_t Address;
  unsigned Count;
};

std::vector<TBlock> Blocks_Of(const THex_Image& image, std::uint32_t flash_start) {
  std::vector<TBlock> blocks;
  const std::uint64_t end = image.End_Address();
  const std::uint32_t first = flash_start + (image.First_Address() - flash_start) / AN3155_MAX_BLOCK * AN3155_MAX_BLOCK;
  for (std::uint64_t at = first; at < end; at += AN3155_MAX_BLOCK) {
    const auto address = static_cast<std::uint32_t>(at);
    if (!image.Holds_Data(address, AN3155_MAX_BLOCK)) continue;
    const std::uint64_t rest = (end - at + FLASH_WORD - 1) / FLASH_WORD * FLASH_WORD;
    blocks.push_back({address, static_cast<unsigned>(std::min<std::uint64_t>(rest, AN3155_MAX_BLOCK))});
  }
  return blocks;
}
}  // namespace

TFlash_Outcome Flash_Image(TSTM32& chip, const THex_Image& image, TFlash_Progress& progress) {
  if (image.First_Address() < chip.Flash_S_ || image.End_Address() > chip.Flash_F_)
    return {FLASH_NOT_WRITTEN, image.First_Address()};  // checked for another chip: nothing is sent
  const std::vector<TBlock> blocks = Blocks_Of(image, chip.Flash_S_);
  progress.Done = 0;
  progress.Total = static_cast<unsigned>(2 * blocks.size());
  for (const TBlock& block : blocks) {
    image.Copy(block.Address, chip.byteArray, block.Count);
    if (!chip.Chip_Write_Block(block.Address, block.Count)) return {FLASH_NOT_WRITTEN, block.Address};
    ++progress.Done;
  }
  std::uint8_t flash[AN3155_MAX_BLOCK];
  std::uint8_t expected[AN3155_MAX_BLOCK];
  for (const TBlock& block : blocks) {
    if (!chip.Chip_Read_Memory(block.Address, block.Count, flash)) return {FLASH_NOT_READ, block.Address};
    image.Copy(block.Address, expected, block.Count);
    const auto differs = std::mismatch(flash, flash + block.Count, expected).first;
    if (differs != flash + block.Count)
      return {FLASH_DIFFERENT, block.Address + static_cast<std::uint32_t>(differs - flash)};
    ++progress.Done;
  }
  return {FLASH_VERIFIED, 0};
}
