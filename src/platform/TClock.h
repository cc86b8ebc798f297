// Time as the program sees it: monotonic now and sleeping. Every wait of the program goes through a
// TClock, so tests can run on a virtual timeline (TVirtual_Clock) instead of the wall clock.
#pragma once

#include <chrono>

using TDuration = std::chrono::nanoseconds;

class TClock {
public:
  virtual ~TClock() = default;

  // Monotonic time since the clock was created.
  virtual TDuration Now() const = 0;
  virtual void Sleep_Until(TDuration when) = 0;
  void Sleep(TDuration how_long) { Sleep_Until(Now() + how_long); }

  // A thread that waits on this clock besides the one that created it announces itself: the
  // creator calls Thread_Starting() before starting it, the thread calls Thread_Ended() last.
  // A virtual clock advances only while every such thread is asleep.
  virtual void Thread_Starting() {}
  virtual void Thread_Ended() {}
};

// The wall clock: steady time and real sleeps.
class TReal_Clock final : public TClock {
public:
  TDuration Now() const override;
  void Sleep_Until(TDuration when) override;

private:
  std::chrono::steady_clock::time_point Start_ = std::chrono::steady_clock::now();
};
