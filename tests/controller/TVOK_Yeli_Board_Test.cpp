// The parameter protocol against the virtual board: what reaches the controller's memory, and what a
// controller that does not answer costs.
#include "controller/TVOK_Yeli.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/TSim_Bus.h"
#include "platform/sim/TSim_Factory.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
struct TBoard_Parameters : testing::Test {
  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TSim_Board& Board = Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  TVOK_Yeli Controller{Bus.UsbXpress(), Clock};

  // As the supervisor enters work mode.
  void SetUp() override {
    ASSERT_TRUE(Controller.CP_Connect());
    Controller.CP_State = CP_BUSY;
    ASSERT_TRUE(Controller.Init_CP(LINE_8N1));
    Controller.Chip_Disconnect();
  }
};
}  // namespace

TEST_F(TBoard_Parameters, A_Full_Read_Brings_The_Version_And_The_Settings) {
  ASSERT_TRUE(Controller.GetConfigIO());
  EXPECT_EQ(Controller.Prop.FirmW, 0x0203);
  EXPECT_EQ(Controller.Prop.PWM_IN_1, *Board.Live_Parameter(17));
  EXPECT_EQ(Controller.Prop.H_Lvl, *Board.Live_Parameter(114));
  EXPECT_EQ(Controller.Prop.T_O_IN % 60, 0);  // a count per second, scaled to a minute
}

TEST_F(TBoard_Parameters, Written_Settings_Live_Until_Stored_And_The_Filter_Reset_Clears_The_Running_Time) {
  ASSERT_TRUE(Controller.GetConfigIO());
  Controller.Prop.PWM_IN_1 = 730;
  Controller.Prop.Time = 600;
  Controller.ResTime = true;
  ASSERT_TRUE(Controller.SetConfigIO());
  Clock.Sleep(10ms);  // the last frames are still on the wire
  EXPECT_EQ(Board.Live_Parameter(17), 730);
  EXPECT_EQ(Board.Live_Parameter(83), 0);
  EXPECT_NE(Board.Stored_Settings().at(17), 730);

  std::int32_t ignored = 0;
  ASSERT_TRUE(Controller.GetParam(96, ignored));
  EXPECT_EQ(Board.Stored_Settings().at(17), 730);
}

TEST_F(TBoard_Parameters, A_Controller_That_Does_Not_Answer_Costs_Two_Time_Outs) {
  Board.Set_Silent(true);
  Controller.Prop.FirmW = 0x0203;
  const TDuration start = Clock.Now();
  EXPECT_FALSE(Controller.GetConfigIO());
  const TDuration spent = Clock.Now() - start;
  EXPECT_GE(spent, 1000ms);
  EXPECT_LT(spent, 1010ms);    // and the three request bytes' wire time
  EXPECT_EQ(Controller.Prop.FirmW, 0);  // nothing arrived
}
