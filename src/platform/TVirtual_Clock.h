// A discrete-event clock for tests: sleeping costs no real time. With one thread, a sleep moves
// time forward at once; with several (the firmware writer's worker), time moves to the earliest
// wake-up only when every participating thread sleeps, so each thread sees a consistent timeline.
#pragma once

#include "platform/TClock.h"

#include <condition_variable>
#include <list>
#include <mutex>

class TVirtual_Clock final : public TClock {
public:
  TDuration Now() const override;
  void Sleep_Until(TDuration when) override;
  void Thread_Starting() override;
  void Thread_Ended() override;

private:
  // Each sleeper waits on a condition of its own, so that moving time on wakes only the threads
  // due, not every thread of the clock.
  struct TSleeper {
    TDuration Wake;
    bool Woken = false;
    std::condition_variable Woken_Up;
  };
  void Advance_If_All_Asleep();

  mutable std::mutex Mutex_;
  TDuration Now_{0};
  int Awake_ = 1;  // the creating thread
  std::list<TSleeper*> Sleepers_;
};
