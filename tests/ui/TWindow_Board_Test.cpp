// The window on the virtual board where it rewrites its bridge: a bridge that takes its product id
// only once is switched only when the user agrees.
#include "TControl_Board_Fixture.h"

using namespace std::chrono_literals;

namespace {
class TWindow_Board : public TControl_Board_Fixture {
protected:
  explicit TWindow_Board(TSim_Factory_State state = SIM_FACTORY_USBXPRESS, std::uint8_t part = SIM_PART_CP2102)
      : TControl_Board_Fixture(state, part) {}
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
