// Progress of a long operation on standard error: a bar redrawn in place on a terminal, a line
// per whole percent otherwise (a log file or a pipe), nothing when quiet; or, on one of many boards,
// the board's status, which the display of all of them shows.
#pragma once

#include "cli/TBoard_Status.h"

#include <cstdint>
#include <ostream>
#include <string>

enum TProgress_Style : std::uint8_t { PROGRESS_BAR, PROGRESS_LINES, PROGRESS_QUIET };

class TProgress_Display {
public:
  TProgress_Display(std::ostream& out, TProgress_Style style, std::string label)
      : Out_(out), Style_(style), Label_(std::move(label)) {}
  // `out` is not written to.
  TProgress_Display(std::ostream& out, TBoard_Status& board, std::string label)
      : Out_(out), Style_(PROGRESS_QUIET), Label_(std::move(label)), Board_(&board) {}
  ~TProgress_Display() { Finish(); }

  void Show(unsigned done, unsigned total);
  // Ends the bar's line; later output starts on a line of its own.
  void Finish();

private:
  std::ostream& Out_;
  const TProgress_Style Style_;
  const std::string Label_;
  TBoard_Status* Board_ = nullptr;
  int Percent_ = -1;  // as last shown
};
