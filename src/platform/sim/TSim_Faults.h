// The faults a test injects into a board. Counted faults count from when they are set: 1 is the
// next occurrence.
#pragma once

#include "platform/TClock.h"

#include <array>
#include <cstdint>

enum TSim_Direction { SIM_TO_BOARD, SIM_TO_HOST };

// Fires once, at the n-th Tick after Arm(n); Arm(0) disarms.
class TSim_Countdown {
public:
  void Arm(unsigned n) { Left_ = n; }
  bool Tick() { return Left_ > 0 && --Left_ == 0; }

private:
  unsigned Left_ = 0;
};

struct TSim_Faults {
  bool Silent = false;             // the running firmware sends nothing
  TDuration Answer_Delay{0};       // every answer leaves this much later
  TSim_Countdown Nack_Frame;       // a frame the bootloader would acknowledge gets NACK instead
  std::array<TSim_Countdown, 2> Corrupt_Byte;  // by TSim_Direction: a byte put on the wire...
  std::array<std::uint8_t, 2> Corrupt_Mask{0xFF, 0xFF};  // ...has these bits flipped
};
