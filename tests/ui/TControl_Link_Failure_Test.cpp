// The link's failure paths on the real window and the virtual board: a board unplugged in each link
// state, a controller that stops answering, a device that is no controller, several devices.
#include "support/TControl_Board_Fixture.h"

using namespace std::chrono_literals;

namespace {
const QStringList NOT_FOUND = {"Search", "...", "Device not found"};

class TLink_Failure : public TControl_Board_Fixture {};

class TLink_Failure_Vcp : public TControl_Board_Fixture {
protected:
  TLink_Failure_Vcp() : TControl_Board_Fixture(SIM_FACTORY_VCP) {}
};
}  // namespace

TEST_F(TLink_Failure_Vcp, A_Board_Unplugged_In_Virtual_COM_Port_Mode_Is_Searched_For_Again) {
  Tick_Until_State(VOK_CHECK_VCP_CONN);
  EXPECT_TRUE(Form->Program.Button1->isEnabled());
  Board.Unplug_At(Clock.Now());
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  Tick();
  EXPECT_EQ(Program_Log(), NOT_FOUND);
  EXPECT_FALSE(Form->Program.Button1->isEnabled());
}

TEST_F(TLink_Failure, A_Board_Unplugged_While_Identified_Is_Searched_For_Again) {
  Tick_Until_State(VOK_CHECK_USB_CONN);
  Board.Unplug_At(Clock.Now());
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  Tick();
  EXPECT_EQ(Program_Log(), NOT_FOUND);
}

// The failed poll falls back to the identified state with work mode pending, so the board is
// found, identified and polled again as soon as it is back.
TEST_F(TLink_Failure, A_Board_Unplugged_In_Work_Mode_Is_Polled_Again_Once_It_Is_Back) {
  Enter_Work_Mode();
  Tick();  // the first write-back
  Board.Unplug_At(Clock.Now() + 20ms);  // in the middle of the next poll
  Tick();
  EXPECT_EQ(Control_Log().last(), "Error read config");
  EXPECT_EQ(Controller().VOK_State, VOK_CHECK_USB_CONN);
  EXPECT_EQ(Controller().VOK_Action, VOK_TO_WORK_MODE);
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  Tick();
  EXPECT_EQ(Program_Log(), NOT_FOUND);

  Board.Replug_At(Clock.Now());
  Tick_Until_State(VOK_OPEN);
  EXPECT_EQ(Control_Log(), QStringList{"Firmware version: 2.3"});
  Tab().Inflow[0].Slider->setValue(30);
  Tick();
  EXPECT_EQ(Board_Setting(16), 700);
}

TEST_F(TLink_Failure, A_Controller_That_Stops_Answering_Is_Started_Again_Every_Tick) {
  Enter_Work_Mode();
  Board.Set_Silent(true);
  Tick();
  EXPECT_EQ(Control_Log().last(), "Error read config");
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);
  Tick();
  EXPECT_EQ(Control_Log(), (QStringList{"Searching Controller", "...", "Error reading config", "Device not found"}));
  Tick();
  EXPECT_EQ(Control_Log(), (QStringList{"Searching Controller", "...", "Error reading config", "Device not found"}));
  Board.Set_Silent(false);
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_OPEN);
  EXPECT_EQ(Control_Log(), QStringList{"Firmware version: 2.3"});
}

TEST_F(TLink_Failure, A_Device_Whose_Bootloader_Does_Not_Answer_Is_No_Controller) {
  Board.Set_Silent(true);
  Tick();
  EXPECT_TRUE(Program_Log().contains("Device is not Yeli"));
  EXPECT_EQ(Control_Log(), (QStringList{"Found USB device", "Device is not Yeli"}));
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  Select_Page(1);  // work mode waits for a controller
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  EXPECT_EQ(Controller().VOK_Action, VOK_TO_WORK_MODE);
}

TEST_F(TLink_Failure, Several_Devices_Are_Refused_Until_One_Remains) {
  TSim_Board& second = Bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  Tick();
  EXPECT_EQ(Program_Log(), (QStringList{"Found more that one device", "Remove all usb devices except for Yeli controller!"}));
  EXPECT_FALSE(Form->Program.Button1->isEnabled());
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  second.Unplug_At(Clock.Now());
  Tick_Until_State(VOK_CHECK_USB_CONN);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.3"));
}
