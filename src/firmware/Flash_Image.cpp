#include "firmware/Flash_Image.h"

#include "firmware/AN3155.h"
#include "firmware/Plan_Blocks.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {
// nullopt when every block of the phase was written; else what stopped it.
std::optional<TFlash_Outcome> Write(TBlock_Device& chip, const THex_Image& image, const std::vector<TBlock>& blocks,
                                    TFlash_Progress& progress, const TStop_Flag* stop) {
  std::uint8_t data[AN3155_MAX_BLOCK];
  for (const TBlock& block : blocks) {
    if (Stop_Requested(stop)) return TFlash_Outcome{FLASH_STOPPED, block.Address};
    image.Copy(block.Address, data, block.Count);
    if (!chip.Write_Block(block.Address, data, block.Count)) return TFlash_Outcome{FLASH_NOT_WRITTEN, block.Address};
    ++progress.Done;
  }
  return std::nullopt;
}

std::optional<TFlash_Outcome> Verify(TBlock_Device& chip, const THex_Image& image, const std::vector<TBlock>& blocks,
                                     TFlash_Progress& progress, const TStop_Flag* stop) {
  std::uint8_t flash[AN3155_MAX_BLOCK];
  std::uint8_t expected[AN3155_MAX_BLOCK];
  for (const TBlock& block : blocks) {
    if (Stop_Requested(stop)) return TFlash_Outcome{FLASH_STOPPED, block.Address};
    if (!chip.Read_Block(block.Address, block.Count, flash)) return TFlash_Outcome{FLASH_NOT_READ, block.Address};
    image.Copy(block.Address, expected, block.Count);
    const auto differs = std::mismatch(flash, flash + block.Count, expected).first;
    if (differs != flash + block.Count)
      return TFlash_Outcome{FLASH_DIFFERENT, block.Address + static_cast<std::uint32_t>(differs - flash)};
    ++progress.Done;
  }
  return std::nullopt;
}
}  // namespace

TFlash_Outcome Flash_Image(TBlock_Device& chip, const THex_Image& image, TFlash_Progress& progress,
                           const TStop_Flag* stop) {
  const TFlash_Range flash = chip.Flash();
  if (image.First_Address() < flash.First || image.End_Address() > flash.End)
    return {FLASH_NOT_WRITTEN, image.First_Address()};  // checked for another chip: nothing is sent
  const TBlock_Phases phases = Plan_Blocks(image, flash.First);
  unsigned blocks = 0;
  for (const auto& phase : phases) blocks += static_cast<unsigned>(phase.size());
  progress.Done = 0;
  progress.Total = 2 * blocks;
  for (const auto& phase : phases) {
    if (auto failed = Write(chip, image, phase, progress, stop)) return *failed;
    if (auto failed = Verify(chip, image, phase, progress, stop)) return *failed;
  }
  return {FLASH_VERIFIED, 0};
}
