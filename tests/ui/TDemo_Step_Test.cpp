#include "ui/TDemo_Step.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
// The tab's settings as laid out: S0 0 %, S1 40 %, S2 70 %, S3 100 %, SF and SH 100 %, T 20, T_Off 3,
// H 30, H_Lvl 60, a bypass fitted. Each step sees the speeds of the step before, as the bars hold them.
struct TSimulation {
  TDemo_Inputs Inputs;
  TDemo_State State;

  TSimulation() {
    for (TDemo_Fan* fan : {&Inputs.Inflow, &Inputs.Outflow}) fan->Percent = {0, 40, 70, 100, 100, 100};
  }
  void Set_Both(TDemo_Setting setting, int percent) {
    Inputs.Inflow.Percent[setting] = percent;
    Inputs.Outflow.Percent[setting] = percent;
  }
  TDemo_Outputs Step() {
    const TDemo_Outputs outputs = TDemo_Step(Inputs, State).Run();
    Inputs.Last_In = outputs.In;
    Inputs.Last_Out = outputs.Out;
    return outputs;
  }
};

#define EXPECT_SPEEDS(outputs, in, out) \
  do {                                  \
    EXPECT_EQ((outputs).In, in);        \
    EXPECT_EQ((outputs).Out, out);      \
  } while (0)
}  // namespace

TEST(TDemo_Step, Each_Mode_Runs_Both_Fans_At_Its_Setting) {
  const struct {
    int Mode;
    int Speed;
    const char* Text;
  } cases[] = {{0, 0, "0 Rpm"}, {1, 1440, "1440 Rpm"}, {2, 2520, "2520 Rpm"}, {3, 3600, "3600 Rpm"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    TSimulation simulation;
    simulation.State.Demo_Mode = c.Mode;
    const TDemo_Outputs outputs = simulation.Step();
    EXPECT_SPEEDS(outputs, c.Speed, c.Speed);
    EXPECT_EQ(outputs.Inflow_Text, c.Text);
    EXPECT_EQ(outputs.Outflow_Text, c.Text);
    EXPECT_EQ(outputs.Filter_Counting, c.Speed > 0);
  }
}

TEST(TDemo_Step, Stand_By_Ignores_Temperature_Humidity_And_Force_In) {
  TSimulation simulation;
  simulation.Set_Both(SETTING_S0, 40);
  simulation.Inputs.T = -20;
  simulation.Inputs.H = 80;
  simulation.Inputs.Force_In = true;
  EXPECT_SPEEDS(simulation.Step(), 1440, 1440);
  EXPECT_FALSE(simulation.State.Temp_Off_Stop);
  EXPECT_FALSE(simulation.State.Humidity_Boost);
}

TEST(TDemo_Step, Humidity_Boost_Starts_Above_The_Level_And_Ends_Five_Points_Below) {
  TSimulation simulation;
  simulation.State.Demo_Mode = 2;
  simulation.Set_Both(SETTING_S2, 50);
  simulation.Set_Both(SETTING_SH, 90);
  const struct {
    int H;
    int Speed;
  } steps[] = {{60, 1800}, {61, 3240}, {56, 3240}, {55, 1800}, {60, 1800}, {61, 3240}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.H);
    simulation.Inputs.H = step.H;
    EXPECT_SPEEDS(simulation.Step(), step.Speed, step.Speed);
  }
}

TEST(TDemo_Step, Humidity_Boost_Never_Lowers_A_Fan_Below_Its_Mode_Speed) {
  TSimulation simulation;
  simulation.State.Demo_Mode = 3;
  simulation.Set_Both(SETTING_SH, 50);
  simulation.Inputs.H = 80;
  EXPECT_SPEEDS(simulation.Step(), 3600, 3600);
  EXPECT_TRUE(simulation.State.Humidity_Boost);
}

TEST(TDemo_Step, Inflow_Stops_At_The_Switch_Off_Temperature_And_Restarts_Three_Degrees_Above) {
  TSimulation simulation;
  simulation.State.Demo_Mode = 3;
  simulation.Inputs.Outflow.Percent[SETTING_S3] = 50;
  const struct {
    int T;
    int In;
  } steps[] = {{4, 3600}, {3, 0}, {5, 0}, {6, 3600}, {4, 3600}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.T);
    simulation.Inputs.T = step.T;
    EXPECT_SPEEDS(simulation.Step(), step.In, 1800);
  }
}

// While the temperature holds the inflow, the boost is not updated: the outflow keeps judging the
// humidity against the threshold of the boost's last state.
TEST(TDemo_Step, Outflow_Follows_The_Frozen_Boost_While_The_Temperature_Holds_The_Inflow) {
  TSimulation simulation;
  simulation.State.Demo_Mode = 2;
  simulation.Set_Both(SETTING_S2, 50);
  simulation.Set_Both(SETTING_SH, 90);
  const struct {
    int T;
    int H;
    int In;
    int Out;
  } steps[] = {{20, 61, 3240, 3240}, {3, 58, 0, 3240}, {3, 50, 0, 1800}, {3, 58, 0, 3240}, {6, 58, 3240, 3240}};
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << "T " << step.T << ", H " << step.H);
    simulation.Inputs.T = step.T;
    simulation.Inputs.H = step.H;
    EXPECT_SPEEDS(simulation.Step(), step.In, step.Out);
    EXPECT_TRUE(simulation.State.Humidity_Boost);
  }
}

TEST(TDemo_Step, Force_In_Takes_A_Fan_To_SF_Only_Where_SF_Stands_Higher) {
  const struct {
    const char* Name;
    int Inflow_SF;
    int Outflow_SF;
    int T;
    int H;
    int In;
    int Out;
  } cases[] = {
      {"SF equal to S1", 40, 40, 20, 30, 1440, 1440},
      {"SF lower than S1", 30, 30, 20, 30, 1440, 1440},
      {"SF one higher on the inflow only", 41, 40, 20, 30, 1476, 1440},
      {"SF one higher while the temperature holds the inflow", 41, 41, 3, 30, 1476, 1476},
      {"SF below SH during a boost", 60, 60, 20, 80, 2160, 2160},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimulation simulation;
    simulation.State.Demo_Mode = 1;
    simulation.Inputs.Force_In = true;
    simulation.Inputs.Inflow.Percent[SETTING_SF] = c.Inflow_SF;
    simulation.Inputs.Outflow.Percent[SETTING_SF] = c.Outflow_SF;
    simulation.Inputs.T = c.T;
    simulation.Inputs.H = c.H;
    const TDemo_Outputs outputs = simulation.Step();
    EXPECT_SPEEDS(outputs, c.In, c.Out);
    EXPECT_EQ(outputs.Force_In_Text, "Close");
  }
}

TEST(TDemo_Step, Alarm_Stops_Both_Fans_And_Leaves_The_Latches_Alone) {
  for (int mode = 0; mode <= 3; ++mode) {
    SCOPED_TRACE(mode);
    TSimulation simulation;
    simulation.State.Demo_Mode = mode;
    simulation.Set_Both(SETTING_S0, 40);
    simulation.Step();
    simulation.State.Temp_Off_Stop = true;
    simulation.State.Humidity_Boost = true;
    simulation.Inputs.Alarm = true;
    simulation.Inputs.T = 30;
    simulation.Inputs.H = 30;
    const TDemo_Outputs outputs = simulation.Step();
    EXPECT_SPEEDS(outputs, 0, 0);
    EXPECT_TRUE(outputs.Alarm_Blinking);
    EXPECT_FALSE(outputs.Filter_Counting);
    EXPECT_TRUE(simulation.State.Temp_Off_Stop);
    EXPECT_TRUE(simulation.State.Humidity_Boost);
  }
}

TEST(TDemo_Step, A_Bypass_Opened_Without_A_Damper_Stops_The_Inflow_And_Freezes_The_Outflow) {
  TSimulation simulation;
  simulation.State.Demo_Mode = 1;
  simulation.Inputs.Bypass = false;
  EXPECT_SPEEDS(simulation.Step(), 1440, 1440);
  simulation.State.Open_Bypass();  // the valve picture
  EXPECT_TRUE(simulation.State.Inflow_Stop);
  for (int mode : {3, 0, 2}) {
    SCOPED_TRACE(mode);
    simulation.State.Demo_Mode = mode;
    const TDemo_Outputs outputs = simulation.Step();
    EXPECT_SPEEDS(outputs, 0, 1440);
    EXPECT_EQ(outputs.Bypass_Text, "None");
  }
}

// The label is written before the latches act, so it lags one step behind a change of "Bypass".
TEST(TDemo_Step, Clearing_Bypass_Closes_The_Bypass_And_Ticking_It_Again_Opens_It) {
  TSimulation simulation;
  EXPECT_EQ(simulation.Step().Bypass_Text, "Close");
  simulation.State.Open_Bypass();
  EXPECT_FALSE(simulation.State.Inflow_Stop);
  const struct {
    bool Bypass;
    const char* Text;
    int Open_After;
  } steps[] = {{true, "Open", 1}, {false, "None", 0}, {false, "None", 0}, {true, "Close", 1}, {true, "Open", 1}};
  for (const auto& step : steps) {
    simulation.Inputs.Bypass = step.Bypass;
    EXPECT_EQ(simulation.Step().Bypass_Text, step.Text);
    EXPECT_EQ(simulation.State.Bypass_Open, step.Open_After);
    EXPECT_FALSE(simulation.State.Inflow_Stop);
  }
}

TEST(TDemo_Step, Red_Filter_Shows_Once_The_Counter_Passes_The_Filter_Time) {
  const struct {
    int Counter;
    bool Red;
  } cases[] = {{8760, false}, {8761, true}, {0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Counter);
    TSimulation simulation;
    simulation.State.Filter_Time = 8760;
    simulation.State.Filter_Counter = c.Counter;
    EXPECT_EQ(simulation.Step().Filter_Alarm, c.Red);
  }
}

TEST(TDemo_Step, Status_Texts_Show_Temperatures_And_The_Humidity_Voltage_With_A_Comma) {
  const struct {
    int T;
    int T_Off;
    int H;
    const char* Temperature;
    const char* Switch_Off;
    const char* Voltage;
  } cases[] = {{20, 3, 30, "20\u00B0C", "3\u00B0C", "3,0 V"},
               {-20, 1, 80, "-20\u00B0C", "1\u00B0C", "8,0 V"},
               {40, 31, 47, "40\u00B0C", "31\u00B0C", "4,7 V"},
               {-5, 3, 59, "-5\u00B0C", "3\u00B0C", "5,9 V"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Voltage);
    TSimulation simulation;
    simulation.Inputs.T = c.T;
    simulation.Inputs.T_Off = c.T_Off;
    simulation.Inputs.H = c.H;
    const TDemo_Outputs outputs = simulation.Step();
    EXPECT_EQ(outputs.Temperature_Text, c.Temperature);
    EXPECT_EQ(outputs.T_Off_Text, c.Switch_Off);
    EXPECT_EQ(outputs.Voltage_Text, c.Voltage);
    EXPECT_EQ(outputs.Force_In_Text, "Open");
  }
}
