// The window on the virtual board where it lets go of the board or rewrites its bridge: closing it,
// by the user or by a stop signal, leaves the controller running its application, and a bridge
// that takes its product id only once is switched only when the user agrees.
#include "support/TControl_Board_Fixture.h"

#include "ui/TStop_Signals.h"

#include <QCoreApplication>

#include <csignal>

using namespace std::chrono_literals;

namespace {
class TWindow_Board : public TControl_Board_Fixture {
protected:
  explicit TWindow_Board(TSim_Factory_State state = SIM_FACTORY_USBXPRESS, std::uint8_t part = SIM_PART_CP2102)
      : TControl_Board_Fixture(state, part) {}
  // Identification leaves the chip in its bootloader, with the port closed.
  void Identify() {
    Tick_Until_State(VOK_CHECK_USB_CONN);
    ASSERT_EQ(Board.Running(), SIM_RUN_BOOTLOADER);
  }
};

class TWindow_CP2104 : public TWindow_Board {
protected:
  TWindow_CP2104() : TWindow_Board(SIM_FACTORY_VCP, SIM_PART_CP2104) {}
  void Press_Change() {
    Form->Program.Button1->setEnabled(true);
    Form->Program.Button1->click();
  }
};

const QString PERMANENT_QUESTION =
    "This bridge is a CP2104: its product id can be written only once, so this switch of its driver mode can never "
    "be undone. Switch it anyway?";
}  // namespace

TEST_F(TWindow_Board, Closing_After_Identification_Leaves_The_Controller_Running_Its_Application) {
  Identify();
  EXPECT_TRUE(Form->close());
  EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);
  EXPECT_EQ(Board.Lines(), TSim_Lines{});
  EXPECT_FALSE(Controller().Bootloader_Started);
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);
}

TEST_F(TWindow_Board, Closing_In_Work_Mode_Leaves_The_Application_Alone) {
  Enter_Work_Mode();
  Board.Clear_Wire_Log();
  EXPECT_TRUE(Form->close());
  EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);
  EXPECT_TRUE(Board.Wire_Log(SIM_TO_BOARD).empty());
}

// The signal takes the window's own close path, question included.
TEST_F(TWindow_Board, A_Stop_Signal_Closes_The_Window_As_The_User_Would) {
  Identify();
  const TStop_Signals stop_signals([this] { Form->close(); });
  Form->Config_Not_Written = true;
  Dialogs.Yes_No_Answers = {false, true};
  for (int round = 0; round < 2; ++round) {
    std::raise(round == 0 ? SIGTERM : SIGINT);
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(Dialogs.Questions.size(), 2);
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);
}

TEST_F(TWindow_Board, A_Refused_Close_Leaves_The_Controller_Where_It_Is) {
  Identify();
  Form->Config_Not_Written = true;
  Dialogs.Yes_No_Answers = {false};
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Board.Running(), SIM_RUN_BOOTLOADER);
}

// "Auto" asks once, not at every tick; "Change" asks again, and Yes writes the id for good.
TEST_F(TWindow_CP2104, Asks_Once_Before_The_Permanent_Switch) {
  Form->Program.CheckBox4->setChecked(true);  // "Auto"
  Dialogs.Yes_No_Answers = {false, true};
  for (int tick = 0; tick < 3; ++tick) Tick();
  EXPECT_EQ(Dialogs.Questions, QStringList{PERMANENT_QUESTION});
  EXPECT_EQ(Board.Stored_Pid(), SIM_VCP_PID);
  EXPECT_TRUE(Program_Log().contains("Driver mode not changed")) << Program_Log().join(" | ").toStdString();

  Form->Program.CheckBox4->setChecked(false);
  Press_Change();
  Tick_Until([&] { return Dialogs.Questions.size() == 2; });
  EXPECT_EQ(Board.Stored_Pid(), SIM_USBXPRESS_PID);
  EXPECT_TRUE(Program_Log().contains(
      "The bridge is a CP2104, whose product id can be written only once: this switch is permanent"));
  EXPECT_TRUE(Program_Log().contains("Change VID status: succes"));
  Tick_Until_State(VOK_CHECK_USB_CONN);
}
