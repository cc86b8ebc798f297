// What the image writer needs of a chip: where its flash lies, and Write Memory and Read Memory of
// one block. TSTM32 offers it through the ROM bootloader.
#pragma once

#include "firmware/TFlash_Range.h"

#include <cstdint>

class TBlock_Device {
public:
  virtual TFlash_Range Flash() const = 0;
  // `count` bytes of `data` at `address`, 1 to 256; true when the chip acknowledged them.
  virtual bool Write_Block(std::uint32_t address, const std::uint8_t* data, unsigned count) = 0;
  // `count` bytes from `address` into `data`, 1 to 256; true only when every one of them arrived.
  virtual bool Read_Block(std::uint32_t address, unsigned count, std::uint8_t* data) = 0;

protected:
  ~TBlock_Device() = default;
};
