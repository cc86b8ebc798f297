#include "platform/TVirtual_Clock.h"

#include <algorithm>

TDuration TVirtual_Clock::Now() const {
  std::lock_guard lock(Mutex_);
  return Now_;
}

void TVirtual_Clock::Sleep_Until(TDuration when) {
  std::unique_lock lock(Mutex_);
  if (when <= Now_) return;
  TSleeper me{when, false, {}};
  Sleepers_.push_back(&me);
  --Awake_;
  Advance_If_All_Asleep();
  me.Woken_Up.wait(lock, [&] { return me.Woken; });
}

void TVirtual_Clock::Thread_Starting() {
  std::lock_guard lock(Mutex_);
  ++Awake_;
}

void TVirtual_Clock::Thread_Ended() {
  std::lock_guard lock(Mutex_);
  --Awake_;
  Advance_If_All_Asleep();
}

// Called with the mutex held. Wakes every sleeper due at the earliest wake-up time and counts
// them awake before they run, so no other thread can move time past them.
void TVirtual_Clock::Advance_If_All_Asleep() {
  if (Awake_ > 0 || Sleepers_.empty()) return;
  auto earliest = std::min_element(Sleepers_.begin(), Sleepers_.end(),
                                   [](const TSleeper* a, const TSleeper* b) { return a->Wake < b->Wake; });
  Now_ = std::max(Now_, (*earliest)->Wake);
  std::erase_if(Sleepers_, [this](TSleeper* sleeper) {
    if (sleeper->Wake > Now_) return false;
    sleeper->Woken = true;
    ++Awake_;
    sleeper->Woken_Up.notify_one();
    return true;
  });
}
