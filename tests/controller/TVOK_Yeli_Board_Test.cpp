// The parameter protocol against the virtual board: what reaches the controller's memory, and what a
// controller that does not answer costs.
#include "controller/Parameter_Protocol.h"
#include "controller/TVOK_Yeli.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"

#include <gtest/gtest.h>

#include <functional>

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

// The first answer byte's time-out ends the read: no second wait for a byte that will not come.
TEST_F(TBoard_Parameters, A_Controller_That_Does_Not_Answer_Costs_One_Time_Out) {
  Board.Set_Silent(true);
  Controller.Prop.FirmW = 0x0203;
  const TDuration start = Clock.Now();
  EXPECT_FALSE(Controller.GetConfigIO());
  const TDuration spent = Clock.Now() - start;
  EXPECT_GE(spent, 500ms);
  EXPECT_LT(spent, 510ms);    // and the three request bytes' wire time
  EXPECT_EQ(Controller.Prop.FirmW, 0x0203);  // nothing arrived
}

// An answer that comes after its time-out, or the answer to a request someone else made, lies in
// the receive buffer when the next read asks; it must not be taken for that read's answer.
TEST_F(TBoard_Parameters, A_Late_Answer_Or_A_Stray_One_Does_Not_Shift_Later_Reads) {
  struct TCase {
    const char* Name;
    std::function<void()> Fault;
  };
  const TCase cases[] = {
      {"late answer",
       [&] {
         Board.Delay_Answers(600ms);
         std::int32_t value = -7;
         EXPECT_FALSE(Controller.GetParam(16, value));
         EXPECT_EQ(value, -7);
         Board.Delay_Answers(0ms);
       }},
      {"stray answer",
       [&] {
         std::uint32_t written = 0;
         const std::uint8_t read_duty[] = {0xFF, 0x01, 17};
         Bus.UsbXpress().Write(Controller.CP_Haldle, read_duty, 3, written);
       }},
  };
  for (const TCase& row : cases) {
    SCOPED_TRACE(row.Name);
    row.Fault();
    Clock.Sleep(1s);  // the supervisor's next tick
    ASSERT_TRUE(Controller.GetConfigIO());
    EXPECT_EQ(Controller.Prop.FirmW, 0x0203);
    for (const TParameter& parameter : FULL_READ) {
      if (parameter.Id < 16 || parameter.Id > 37) continue;  // the fan duties do not drift
      EXPECT_EQ(Controller.Prop.*parameter.Field, Board.Live_Parameter(parameter.Id)) << int{parameter.Id};
    }
  }
}
