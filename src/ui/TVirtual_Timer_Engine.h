// Window timers on the virtual clock, for tests: time passes only when a test lets the message loop
// run (Run_For) or a handler sleeps on the clock. Ticks are dispatched in time order, a handler runs
// to its end before the next tick, and ticks missed while a handler held the loop are not made up.
#pragma once

#include "platform/TVirtual_Clock.h"
#include "ui/TTimer.h"

#include <map>

class TVirtual_Timer_Engine final : public TTimer_Engine {
public:
  explicit TVirtual_Timer_Engine(TVirtual_Clock& clock) : Clock_(clock) {}

  void Enabled_Changed(TTimer& timer) override;
  void Forget(TTimer& timer) override;
  void Pump() override;
  void Keep_Alive() override;

  // Runs the message loop for this much virtual time.
  void Run_For(TDuration how_long);

private:
  TTimer* Next_Due(TDuration until) const;
  void Dispatch(TTimer& timer);

  struct TDue {
    TDuration When;
    long Order;  // of scheduling: of two ticks due at once, the one scheduled first comes first
  };
  void Schedule(TTimer& timer, TDuration when);

  TVirtual_Clock& Clock_;
  std::map<TTimer*, TDue> Due_;  // the enabled timers and their next tick
  long Scheduled_ = 0;
};
