// One step of the demo's fan-control simulation, run every 400 ms: from the tab's inputs and the demo
// state it computes both fan speeds, the status texts and what the timers and pictures must do.
#pragma once

#include "ui/TDemo_State.h"

#include <array>
#include <string>

// The six settings of a fan, in this order on the tab.
enum TDemo_Setting { SETTING_S0, SETTING_S1, SETTING_S2, SETTING_S3, SETTING_SF, SETTING_SH, SETTING_COUNT };

struct TDemo_Fan {
  std::array<int, SETTING_COUNT> Percent{};  // of each setting, 0..100
};

struct TDemo_Inputs {
  TDemo_Fan Inflow;
  TDemo_Fan Outflow;
  int T = 20;           // air temperature, degrees C
  int T_Off = 3;        // switch-off temperature, degrees C
  int H = 30;           // humidity, percent
  int H_Lvl = 60;       // humidity level, percent
  bool Force_In = false;
  bool Alarm = false;
  bool Bypass = true;   // a bypass damper is fitted
  int Last_In = 0;      // the speeds the previous step showed, rpm
  int Last_Out = 0;
};

struct TDemo_Outputs {
  int In = 0;  // rpm
  int Out = 0;
  bool Alarm_Blinking = false;  // Timer5 runs; when it stops, the triangle shows black
  bool Filter_Counting = false;  // Timer3 runs: a fan turns
  bool Filter_Alarm = false;     // show the red filter
  std::string Inflow_Text;       // Label47
  std::string Outflow_Text;      // Label58
  std::string Temperature_Text;  // Label68
  std::string T_Off_Text;        // Label76
  std::string Voltage_Text;      // Label70
  std::string Force_In_Text;     // Label71
  std::string Bypass_Text;       // Label69
};

class TDemo_Step {
public:
  TDemo_Step(const TDemo_Inputs& inputs, TDemo_State& state) : Inputs_(inputs), State_(state) {}

  // The step, in its fixed order: alarm, fan speeds, status texts, bypass, filter counter. It may
  // open or close the bypass in the state, as the valve pictures' clicks do.
  TDemo_Outputs Run();

private:
  void Fan_Speeds();
  void Mode_Speeds(TDemo_Setting speed);
  bool Inflow_Held_By_Temperature();
  bool Humid() const;
  void Force_In(TDemo_Setting speed);
  void Bypass();

  const TDemo_Inputs& Inputs_;
  TDemo_State& State_;
  TDemo_Outputs Outputs_;
};
