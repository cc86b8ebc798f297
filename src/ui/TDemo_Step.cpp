#include "ui/TDemo_Step.h"

#include "ui/Demo_Scales.h"

#include <algorithm>

namespace {
int Speed(const TDemo_Fan& fan, TDemo_Setting setting) { return Rpm_Of_Percent(fan.Percent[setting]); }

// The humidity speed boosts a fan only where it stands higher than the mode's own speed.
int Boosted_Speed(const TDemo_Fan& fan, TDemo_Setting speed) {
  return Rpm_Of_Percent(std::max(fan.Percent[speed], fan.Percent[SETTING_SH]));
}

std::string Degrees(int value) { return std::to_string(value) + "\u00B0C"; }
std::string Rpm(int value) { return std::to_string(value) + " Rpm"; }
}  // namespace

TDemo_Outputs TDemo_Step::Run() {
  Outputs_.In = Inputs_.Last_In;
  Outputs_.Out = Inputs_.Last_Out;
  Outputs_.Alarm_Blinking = Inputs_.Alarm;
  Fan_Speeds();

  Outputs_.Inflow_Text = Rpm(Outputs_.In);
  Outputs_.Outflow_Text = Rpm(Outputs_.Out);
  Outputs_.Temperature_Text = Degrees(Inputs_.T);
  // The sensor's voltage is a tenth of the humidity, written with a decimal comma in every locale.
  Outputs_.Voltage_Text = std::to_string(Inputs_.H / 10) + "," + std::to_string(Inputs_.H % 10) + " V";
  Outputs_.Force_In_Text = Inputs_.Force_In ? "Close" : "Open";
  Outputs_.T_Off_Text = Degrees(Inputs_.T_Off);

  Bypass();

  Outputs_.Filter_Counting = Outputs_.In > 0 || Outputs_.Out > 0;
  Outputs_.Filter_Alarm = State_.Filter_Counter > State_.Filter_Time;
  return Outputs_;
}

// The alarm stops both fans; a bypass opened without a damper stops the inflow and leaves the outflow
// where it was.
void TDemo_Step::Fan_Speeds() {
  if (Inputs_.Alarm) Outputs_.Out = 0;
  if (State_.Inflow_Stop || Inputs_.Alarm) {
    Outputs_.In = 0;
    return;
  }
  if (State_.Demo_Mode == 0) {
    Outputs_.In = Speed(Inputs_.Inflow, SETTING_S0);
    Outputs_.Out = Speed(Inputs_.Outflow, SETTING_S0);
    return;
  }
  Mode_Speeds(static_cast<TDemo_Setting>(SETTING_S0 + State_.Demo_Mode));
}

void TDemo_Step::Mode_Speeds(TDemo_Setting speed) {
  if (Inflow_Held_By_Temperature()) {
    Outputs_.In = 0;
  } else {
    State_.Humidity_Boost = Humid();
    Outputs_.In = State_.Humidity_Boost ? Boosted_Speed(Inputs_.Inflow, speed) : Speed(Inputs_.Inflow, speed);
  }
  // While the temperature holds the inflow the boost is not updated, so the outflow judges the
  // humidity against the threshold of the boost's current state.
  Outputs_.Out = Humid() ? Boosted_Speed(Inputs_.Outflow, speed) : Speed(Inputs_.Outflow, speed);
  Force_In(speed);
}

// The inflow stops at T <= T_Off and starts again only at T >= T_Off + 3.
bool TDemo_Step::Inflow_Held_By_Temperature() {
  if (!State_.Temp_Off_Stop) {
    State_.Temp_Off_Stop = Inputs_.T <= Inputs_.T_Off;
  } else if (Inputs_.T >= Inputs_.T_Off + 3) {
    State_.Temp_Off_Stop = false;
  }
  return State_.Temp_Off_Stop;
}

// The boost starts above the level and ends 5 points below it.
bool TDemo_Step::Humid() const {
  return Inputs_.H > (State_.Humidity_Boost ? Inputs_.H_Lvl - 5 : Inputs_.H_Lvl);
}

// The forced speed replaces everything else, but only on a fan whose SF stands higher than the mode's.
void TDemo_Step::Force_In(TDemo_Setting speed) {
  if (!Inputs_.Force_In) return;
  const auto force = [speed](const TDemo_Fan& fan, int& result) {
    if (fan.Percent[SETTING_SF] > fan.Percent[speed]) result = Speed(fan, SETTING_SF);
  };
  force(Inputs_.Outflow, Outputs_.Out);
  force(Inputs_.Inflow, Outputs_.In);
}

// The label shows the state before this step's change: after "Bypass" is ticked again it reads
// "Close" once and "Open" from the next step.
void TDemo_Step::Bypass() {
  if (Inputs_.Bypass) {
    Outputs_.Bypass_Text = State_.Bypass_Open == 1 ? "Open" : "Close";
    State_.Bypass_Fitted = true;
    State_.Bypass_Was_Fitted = true;
  } else {
    Outputs_.Bypass_Text = "None";
    State_.Bypass_Fitted = false;
    State_.Bypass_Was_Absent = true;
  }
  if (!State_.Bypass_Fitted && State_.Bypass_Was_Fitted) {
    State_.Close_Bypass();
    State_.Bypass_Was_Fitted = false;
  }
  if (State_.Bypass_Fitted && State_.Bypass_Was_Absent) {
    State_.Open_Bypass();
    State_.Bypass_Was_Absent = false;
  }
}
