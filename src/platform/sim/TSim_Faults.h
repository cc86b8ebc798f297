// The faults a test injects into a board. Counted faults count from when they are set: 1 is the
// next occurrence.
#pragma once

#include "platform/TClock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <random>

enum TSim_Direction { SIM_TO_BOARD, SIM_TO_HOST };

// Fires once, at the n-th Tick after Arm(n); Arm(0) disarms.
class TSim_Countdown {
public:
  void Arm(unsigned n) { Left_ = n; }
  bool Tick() { return Left_ > 0 && --Left_ == 0; }

private:
  unsigned Left_ = 0;
};

// Faults of a bad line that strike at random, each with its probability from 0 to 1, on the
// parameter protocol and the bootloader alike.
struct TSim_Line_Faults {
  double Noise = 0;  // a byte on the wire, either way, arrives with some of its bits flipped
  double Late = 0;   // an answer of the chip's leaves SIM_LATE_ANSWER later, past the host's time-out
  double Drop = 0;   // a byte on the wire, either way, is lost
  TDuration Unplug_Period{0};  // the bridge leaves the bus for SIM_UNPLUG_TIME at this period

  bool Any() const { return Noise > 0 || Late > 0 || Drop > 0 || Unplug_Period > TDuration{0}; }
};

// Past the 500 ms read time-out of the bridge port, and of the bootloader's own waits.
inline constexpr TDuration SIM_LATE_ANSWER = std::chrono::milliseconds(600);
inline constexpr TDuration SIM_UNPLUG_TIME = std::chrono::seconds(2);

struct TSim_Faults {
  bool Silent = false;             // the running firmware sends nothing
  TDuration Answer_Delay{0};       // every answer leaves this much later
  TSim_Countdown Nack_Frame;       // a frame the bootloader would acknowledge gets NACK instead
  std::array<TSim_Countdown, 2> Corrupt_Byte;  // by TSim_Direction: a byte put on the wire...
  std::array<std::uint8_t, 2> Corrupt_Mask{0xFF, 0xFF};  // ...has these bits flipped
  TSim_Line_Faults Line;
  std::mt19937 Random;  // seeded so that a run can be repeated

  // Whether a fault of this probability strikes now.
  bool Strikes(double probability) {
    return probability > 0 && std::uniform_real_distribution<double>(0, 1)(Random) < probability;
  }
};
