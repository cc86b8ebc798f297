// The cost of a firmware update of a 64 KiB image on the virtual board: the program's own real time
// on the virtual clock, the update's virtual duration at the bootloader's two rates, and yeli-cli's
// wall time for the same update at both rates.
#pragma once

#include <filesystem>
#include <string>

// A 64 KiB application image 2.9 as an Intel-HEX file `name` in the temporary folder.
std::filesystem::path Write_64_KiB_Image(const std::string& name);

struct TUpdate_Figures {
  double Overhead;    // real elapsed time of the update at 38400 baud over the image's wire time then
  double Speed_Up;    // the update's virtual time at 115200 baud over the same at 38400 baud
  double Over_Wire;   // the update's virtual time at 115200 baud over its frames' and answers' wire time
};

TUpdate_Figures Measure_Update_64_KiB();
// yeli-cli's `flash` of the image on its virtual board, which works in real time: the wall time at
// 115200 baud over the same with --baud 38400, one run each.
double Measure_Cli_Flash_64_KiB();
