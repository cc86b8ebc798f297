// What the firmware running on the virtual chip can do besides computing: send bytes, start other
// code, and store the settings in non-volatile memory.
#pragma once

#include "platform/TClock.h"
#include "platform/sim/TSim_Settings.h"

#include <cstdint>
#include <span>

class TSim_Chip_Services {
public:
  virtual ~TSim_Chip_Services() = default;
  // The bytes leave the chip's UART one after another, the first no earlier than `ready`.
  virtual void Answer(std::span<const std::uint8_t> bytes, TDuration ready) = 0;
  // Starts the code at `address` once the running firmware has finished with the current byte.
  virtual void Jump(std::uint32_t address) = 0;
  virtual void Store_Settings(const TSim_Settings& settings) = 0;
};
