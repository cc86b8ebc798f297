// The real window on one virtual board, driven tick by tick of the link supervisor: for the
// Control Mode page end to end, from the search to work mode and the configuration commands.
#pragma once

#include "support/TBoard_Window_Fixture.h"

#include <QTabBar>
#include <QtTest/QTest>

#include <chrono>
#include <functional>

class TControl_Board_Fixture : public TBoard_Window_Fixture {
protected:
  explicit TControl_Board_Fixture(TSim_Factory_State state = SIM_FACTORY_USBXPRESS, std::uint8_t part = SIM_PART_CP2102)
      : TControl_Board_Fixture(
            [state, part](TSim_Bus& bus) -> TSim_Board& { return bus.Attach(Factory_Setup(state, part)); }) {}
  explicit TControl_Board_Fixture(const TAttach_Board& attach) : TBoard_Window_Fixture(attach) {
    Form->Timer1->OnTimer = [this, step = Form->Timer1->OnTimer] {
      step();
      ++Ticks;
    };
  }

  TControl_Tab& Tab() { return Form->Control; }
  TVOK_Yeli& Controller() { return *Form->Controller; }
  QStringList Control_Log() const { return Form->Control_Log.Lines(); }

  // Lets the message loop run until the supervisor has taken its next step.
  void Tick() {
    using namespace std::chrono_literals;
    const int before = Ticks;
    for (int waits = 0; Ticks == before; ++waits) {
      ASSERT_LT(waits, 100) << "the supervisor stopped ticking";
      Run_For(100ms);
    }
  }
  // Ticks until `reached` holds, at most `ticks` times.
  void Tick_Until(const std::function<bool()>& reached, int ticks = 10) {
    for (int tick = 0; !reached(); ++tick) {
      ASSERT_LT(tick, ticks) << "not reached after " << ticks << " ticks";
      Tick();
    }
  }
  void Tick_Until_State(TVOKState state, int ticks = 10) {
    Tick_Until([&] { return Controller().VOK_State == state; }, ticks);
  }

  // As the user does it, with the mouse or the keyboard.
  void Select_Page(int index) { Form->PageControl1->tabBar()->setCurrentIndex(index); }
  // From the search to work mode: identified, "Control Mode" selected, the set read.
  void Enter_Work_Mode() {
    Tick_Until_State(VOK_CHECK_USB_CONN);
    Select_Page(1);
    Tick_Until_State(VOK_OPEN);
  }
  std::uint16_t Board_Setting(std::uint8_t id) { return Board.Live_Parameter(id).value_or(0xFFFF); }
  std::uint16_t Stored_Setting(std::uint8_t id) { return Board.Stored_Settings().at(id); }

  int Ticks = 0;
};
