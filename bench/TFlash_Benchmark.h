// The cost of a firmware update of a 64 KiB image on the virtual board: the program's own real time
// on the virtual clock, and the update's virtual duration at the bootloader's two rates.
#pragma once

struct TUpdate_Figures {
  double Overhead;    // real elapsed time of the update at 38400 baud over the image's wire time then
  double Speed_Up;    // the update's virtual time at 115200 baud over the same at 38400 baud
  double Over_Wire;   // the update's virtual time at 115200 baud over its frames' and answers' wire time
};

TUpdate_Figures Measure_Update_64_KiB();
