// The Write Memory blocks of an image and the order they go in. An update that stops anywhere
// before its end must not leave a chip that identifies as the new firmware: the blocks that hold
// neither the reset vectors nor the version bytes are written and verified first, then the block
// of the vectors, and the block of the version last.
#pragma once

#include "firmware/THex_Image.h"

#include <cstdint>
#include <vector>

struct TBlock {
  std::uint32_t Address;
  unsigned Count;  // 4 to 256, a multiple of 4

  bool operator==(const TBlock&) const = default;
};

// Blocks of one phase are all written, then all read back, before the next phase begins.
using TBlock_Phases = std::vector<std::vector<TBlock>>;

// Blocks start on 256-byte boundaries from `flash_start`; blocks without a byte of the image are left
// out, gaps inside a block are written as erased flash (0xFF), and the last block ends at the
// image's last byte, padded to whole 32-bit words as the flash programs them. Phases without a
// block are left out; a block that holds both the vectors and the version goes last.
TBlock_Phases Plan_Blocks(const THex_Image& image, std::uint32_t flash_start);
