// A span of the chip's address space: [First, End).
#pragma once

#include <cstdint>

struct TFlash_Range {
  std::uint32_t First;
  std::uint32_t End;
};
