// The real main window on one virtual board, on the virtual clock, with scripted dialogs. The link
// supervisor finds and identifies the board by itself once the message loop runs.
#pragma once

#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "support/TScripted_Dialogs.h"
#include "support/TWindow_Fixture.h"
#include "ui/TForm1.h"
#include "ui/TVirtual_Timer_Engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

// Attaches the board under test to the bus.
using TAttach_Board = std::function<TSim_Board&(TSim_Bus& bus)>;

class TBoard_Window_Fixture : public testing::Test {
protected:
  explicit TBoard_Window_Fixture(TSim_Factory_State state = SIM_FACTORY_USBXPRESS, std::uint8_t part = SIM_PART_CP2102)
      : TBoard_Window_Fixture(
            [state, part](TSim_Bus& bus) -> TSim_Board& { return bus.Attach(Factory_Setup(state, part)); }) {}
  explicit TBoard_Window_Fixture(const TAttach_Board& attach) : Board(attach(Bus)) {
    Form = std::make_unique<TForm1>(Environment);
    Form->FormCreate();
    Form->show();
  }
  ~TBoard_Window_Fixture() override {
    Form->hide();
    Form.reset();
  }

  void Run_For(TDuration how_long) { Timers.Run_For(how_long); }
  QStringList Program_Log() const { return Form->Program_Log.Lines(); }

  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TSim_Board& Board;
  TVirtual_Timer_Engine Timers{Clock};
  TScripted_Dialogs Dialogs;
  TRecording_Desktop Desktop;
  TEnvironment Environment{Bus.UsbXpress(), Bus.Manufacturing(), Clock, Timers, Dialogs, Desktop, "/opt/yeli",
                           "/opt/yeli/Restore"};
  std::unique_ptr<TForm1> Form;
};
