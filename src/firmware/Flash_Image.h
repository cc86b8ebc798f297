// Writes a checked firmware image into erased flash with Write Memory, phase by phase as Plan_Blocks
// orders the blocks, and reads every block of a phase back and compares it with the image before the
// next phase begins.
#pragma once

#include "firmware/TBlock_Device.h"
#include "firmware/THex_Image.h"
#include "platform/TStop_Flag.h"

#include <atomic>
#include <cstdint>

// Blocks written and blocks verified, out of twice the blocks to write. The flashing thread counts;
// another thread may read the counts at any time.
struct TFlash_Progress {
  std::atomic<unsigned> Done{0};
  std::atomic<unsigned> Total{0};
};

enum TFlash_Result : std::uint8_t {
  FLASH_VERIFIED,       // every byte written, acknowledged and read back equal
  FLASH_NOT_WRITTEN,    // the chip did not acknowledge the Write Memory of the block at Address
  FLASH_NOT_READ,       // the chip did not answer the read-back of the block at Address in full
  FLASH_DIFFERENT,      // the flash at Address differs from the image
  FLASH_STOPPED,        // stopped on request before the block at Address
  FLASH_WRITER_FAILED,  // the writer itself failed (see the worker's Failure())
};

struct TFlash_Outcome {
  TFlash_Result Result = FLASH_NOT_WRITTEN;
  std::uint32_t Address = 0;
};

// The chip's flash has been erased; an image that does not lie inside it is not written at all.
// `stop` is looked at before each block; the block under way is finished first.
TFlash_Outcome Flash_Image(TBlock_Device& chip, const THex_Image& image, TFlash_Progress& progress,
                           const TStop_Flag* stop = nullptr);
