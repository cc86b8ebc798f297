#include "ui/TVirtual_Timer_Engine.h"

#include <QCoreApplication>

#include <chrono>
#include <vector>

namespace {
TDuration Interval_Of(const TTimer& timer) { return std::chrono::milliseconds(timer.Interval()); }
}  // namespace

void TVirtual_Timer_Engine::Enabled_Changed(TTimer& timer) {
  if (timer.Enabled())
    Schedule(timer, Clock_.Now() + Interval_Of(timer));
  else
    Due_.erase(&timer);
}

void TVirtual_Timer_Engine::Schedule(TTimer& timer, TDuration when) { Due_[&timer] = {when, ++Scheduled_}; }

void TVirtual_Timer_Engine::Forget(TTimer& timer) { Due_.erase(&timer); }

void TVirtual_Timer_Engine::Pump() {
  QCoreApplication::processEvents();
  std::vector<TTimer*> due;
  for (const auto& [timer, next] : Due_)
    if (next.When <= Clock_.Now()) due.push_back(timer);
  for (TTimer* timer : due) {
    auto next = Due_.find(timer);
    if (next != Due_.end() && next->second.When <= Clock_.Now()) Dispatch(*timer);
  }
}

// Due ticks wait for the message loop, which comes back once the waiting step has ended.
void TVirtual_Timer_Engine::Keep_Alive() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void TVirtual_Timer_Engine::Run_For(TDuration how_long) {
  const TDuration until = Clock_.Now() + how_long;
  while (TTimer* timer = Next_Due(until)) {
    Clock_.Sleep_Until(Due_[timer].When);
    QCoreApplication::processEvents();
    Dispatch(*timer);
  }
  Clock_.Sleep_Until(until);
  QCoreApplication::processEvents();
}

TTimer* TVirtual_Timer_Engine::Next_Due(TDuration until) const {
  const std::pair<TTimer* const, TDue>* next = nullptr;
  for (const auto& entry : Due_) {
    const TDue& due = entry.second;
    if (due.When > until) continue;
    if (!next || due.When < next->second.When || (due.When == next->second.When && due.Order < next->second.Order))
      next = &entry;
  }
  return next ? next->first : nullptr;
}

// A timer ticks on its own grid of intervals: a tick that comes late (the handlers held the loop)
// comes once, and the next one falls on the grid again. A handler that switched its timer off and on
// has set its own next tick.
void TVirtual_Timer_Engine::Dispatch(TTimer& timer) {
  const TDuration scheduled = Due_[&timer].When;
  const long order = ++Scheduled_;
  Due_[&timer] = {TDuration::max(), order};  // not due again while its own handler runs
  timer.Tick();
  auto due = Due_.find(&timer);
  if (due == Due_.end() || due->second.Order != order) return;
  const TDuration interval = Interval_Of(timer);
  const auto late_intervals = (Clock_.Now() - scheduled) / interval;
  Schedule(timer, scheduled + interval * (late_intervals + 1));
}
