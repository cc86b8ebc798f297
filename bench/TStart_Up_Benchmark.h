// The cost of starting yeli-service: the time to its first painted window and its resident memory
// then, each against a minimal Qt Widgets program measured in the same run, on Qt's offscreen
// platform.
#pragma once

struct TStart_Up_Figures {
  double Start_Up_Ratio;  // yeli-service's time to its first painted window over the minimal program's
  double Memory_Ratio;    // yeli-service's resident memory then over the minimal program's
};

TStart_Up_Figures Measure_Start_Up();
