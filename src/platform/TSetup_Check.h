// One check of this machine's set-up for real bridges: what was looked at, and what is wrong with
// it and what to do about it, or nothing when it is in order.
#pragma once

#include <string>

struct TSetup_Check {
  std::string Subject;  // "udev rule", "tty /dev/ttyUSB0 (USB 1-2)"
  std::string Problem;  // empty: in order
};
