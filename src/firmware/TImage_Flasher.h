// Writes a checked firmware image into erased flash with Write Memory, in 256-byte blocks from the
// flash start upward, then reads every written block back and compares it with the image.
#pragma once

#include "firmware/THex_Image.h"

#include <atomic>
#include <cstdint>

class TSTM32;

// Blocks written and then blocks verified, out of twice the blocks to write. The flashing thread
// counts; another thread may read the counts at any time.
struct TFlash_Progress {
  std::atomic<unsigned> Done{0};
  std::atomic<unsigned> Total{0};
};

enum TFlash_Result : std::uint8_t {
  FLASH_VERIFIED,     // every byte written, acknowledged and read back equal
  FLASH_NOT_WRITTEN,  // the chip did not acknowledge the Write Memory of the block at Address
  FLASH_NOT_READ,     // the chip did not answer the read-back of the block at Address in full
  FLASH_DIFFERENT,    // the flash at Address differs from the image
};

struct TFlash_Outcome {
  TFlash_Result Result = FLASH_NOT_WRITTEN;
  std::uint32_t Address = 0;
  bool Written() const { return Result != FLASH_NOT_WRITTEN; }
};

// The chip's flash has been erased; an image that does not lie inside it is not written at all.
// Blocks without a byte of the image are skipped, gaps inside a block are written as erased flash
// (0xFF), and the last block ends at the image's last byte, padded with 0xFF to whole 32-bit words
// as the flash programs them.
TFlash_Outcome Flash_Image(TSTM32& chip, const THex_Image& image, TFlash_Progress& progress);
