#include "ui/TVirtual_Timer_Engine.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
struct TTimers : testing::Test {
  TVirtual_Clock Clock;
  TVirtual_Timer_Engine Engine{Clock};
  std::vector<std::pair<std::string, long>> Ticks;  // timer name and milliseconds

  TTimer* Make(const char* name, int interval, bool enabled) {
    auto* timer = new TTimer(Engine, nullptr, name, interval, enabled);
    Owned.emplace_back(timer);
    timer->OnTimer = [this, name] {
      Ticks.emplace_back(name, std::chrono::duration_cast<std::chrono::milliseconds>(Clock.Now()).count());
    };
    return timer;
  }
  std::vector<std::unique_ptr<TTimer>> Owned;
};
using TTicks = std::vector<std::pair<std::string, long>>;
}  // namespace

TEST_F(TTimers, Ticks_Come_In_Time_Order) {
  Make("slow", 1000, true);
  Make("fast", 400, true);
  Engine.Run_For(2000ms);
  EXPECT_EQ(Ticks, (TTicks{{"fast", 400}, {"fast", 800}, {"slow", 1000}, {"fast", 1200}, {"fast", 1600},
                           {"slow", 2000}, {"fast", 2000}}));
}

TEST_F(TTimers, Enabling_A_Running_Timer_Keeps_Its_Interval_And_Restarting_Starts_It_Again) {
  TTimer* timer = Make("t", 1000, true);
  Engine.Run_For(600ms);
  timer->Set_Enabled(true);
  Engine.Run_For(500ms);  // ticks at 1000
  timer->Restart();       // at 1100: next tick at 2100
  Engine.Run_For(1000ms);
  EXPECT_EQ(Ticks, (TTicks{{"t", 1000}, {"t", 2100}}));
}

TEST_F(TTimers, A_Long_Handler_Delays_The_Others_And_Missed_Ticks_Are_Not_Made_Up) {
  TTimer* blocking = Make("block", 1000, true);
  Make("demo", 400, true);
  bool first = true;
  blocking->OnTimer = [&] {  // holds the thread once, as a step with waits does
    if (std::exchange(first, false)) Clock.Sleep(2500ms);
  };
  Engine.Run_For(4000ms);
  EXPECT_EQ(Ticks, (TTicks{{"demo", 400}, {"demo", 800}, {"demo", 3500}, {"demo", 3600}, {"demo", 4000}}));
}

TEST_F(TTimers, Pump_Dispatches_Only_What_Is_Due) {
  Make("t", 100, true);
  Clock.Sleep(150ms);
  Engine.Pump();
  Engine.Pump();
  EXPECT_EQ(Ticks, (TTicks{{"t", 150}}));
}
