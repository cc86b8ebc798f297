// The progress of many boards at once on standard error, drawn from their statuses by the thread
// that waits for them: on a terminal one line per board (its USB path, phase and percent), redrawn
// in place; otherwise a line for a board whenever its phase changes or its percent reaches another
// tenth, which it shows; nothing when quiet.
#pragma once

#include "cli/TBoard_Status.h"
#include "cli/TProgress_Display.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

class TBoards_Display {
public:
  struct TBoard {
    std::string Label;  // the board's USB path
    const TBoard_Status* Status;
  };

  TBoards_Display(std::ostream& out, TProgress_Style style, std::vector<TBoard> boards);

  // Shows what changed since the last call.
  void Draw();

private:
  static std::string Line(const std::string& label, const TBoard_Status::TView& view);

  std::ostream& Out_;
  const TProgress_Style Style_;
  const std::vector<TBoard> Boards_;
  std::vector<std::optional<TBoard_Status::TView>> Shown_;  // percents in tenths but on a terminal
  bool Drawn_ = false;  // the terminal's lines are on the screen
};
