// The wall clock: steady time and real sleeps.
#pragma once

#include "platform/TClock.h"

class TReal_Clock final : public TClock {
public:
  TDuration Now() const override;
  void Sleep_Until(TDuration when) override;

private:
  std::chrono::steady_clock::time_point Start_ = std::chrono::steady_clock::now();
};
