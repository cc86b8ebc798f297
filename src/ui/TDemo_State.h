// The Demo tab's simulation state: the speed mode, the latches of the simulation step and the filter
// counter. It starts all clear and keeps its values across steps, mode changes and tab changes.
#pragma once

#include <cstdint>

struct TDemo_State {
  std::int32_t Demo_Mode = 0;       // 0 stand-by (S0), 1..3 speeds S1..S3
  bool Temp_Off_Stop = false;       // the inflow is held at 0 because T fell to T_Off
  bool Humidity_Boost = false;      // the humidity is above its level
  std::int32_t Bypass_Open = 0;     // 1 open
  bool Bypass_Fitted = false;       // "Bypass" was ticked at the last step
  bool Inflow_Stop = false;         // the bypass was opened with no damper fitted: the inflow stands
  bool Bypass_Was_Fitted = false;
  bool Bypass_Was_Absent = false;
  std::int32_t Filter_Time = 0;     // the filter alarm threshold, in filter-counter units
  std::int32_t Filter_Counter = 0;  // simulated filter hours

  // What the valve pictures' clicks do to the state (Image5Click and Image11Click).
  void Open_Bypass() {
    Bypass_Open = 1;
    Inflow_Stop = !Bypass_Fitted;
  }
  void Close_Bypass() {
    Bypass_Open = 0;
    Inflow_Stop = false;
  }
};
