// Progress of a long operation on standard error: a bar redrawn in place on a terminal, a line
// per whole percent otherwise (a log file or a pipe), nothing when quiet.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

enum TProgress_Style : std::uint8_t { PROGRESS_BAR, PROGRESS_LINES, PROGRESS_QUIET };

class TProgress_Display {
public:
  TProgress_Display(std::ostream& out, TProgress_Style style, std::string label)
      : Out_(out), Style_(style), Label_(std::move(label)) {}
  ~TProgress_Display() { Finish(); }

  void Show(unsigned done, unsigned total);
  // Ends the bar's line; later output starts on a line of its own.
  void Finish();

private:
  std::ostream& Out_;
  const TProgress_Style Style_;
  const std::string Label_;
  int Percent_ = -1;  // as last shown
};
