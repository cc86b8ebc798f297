// yeli-cli's `flash --all` of a 64 KiB image into 8 virtual boards at once on the virtual clock,
// against the same into one board.
#pragma once

struct TMany_Boards_Figures {
  double Eight_Over_One;  // the virtual time for 8 boards over the time for one
  double Overhead;        // the real time of the 8-board run over the boards' wire time, 8 times its virtual time
};

TMany_Boards_Figures Measure_Flash_8_Boards();
