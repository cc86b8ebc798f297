// The first two words of an application image, the Cortex-M3 vector table's initial stack pointer
// and reset handler, judged against a chip's memory map.
#pragma once

#include "firmware/STM32F1_Families.h"

#include <cstdint>
#include <string>

struct TVector_Table {
  std::uint32_t Stack_Pointer = 0;
  std::uint32_t Reset_Handler = 0;
  std::string Problem;  // empty when it looks like an application for the chip
};

// `words`: the eight bytes at the start of flash, little-endian. The stack pointer must lie inside
// the chip's RAM or at its end (the stack grows down from there), the reset handler inside its flash
// with the Thumb bit set, as the Cortex-M3 runs only Thumb code.
TVector_Table Read_Vector_Table(const std::uint8_t* words, const TSTM32_Family& family);
