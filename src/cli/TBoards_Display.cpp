#include "cli/TBoards_Display.h"

namespace {
constexpr const char* CURSOR_UP = "\x1b[";   // ECMA-48 CUU: "ESC [ n A" moves the cursor n lines up
constexpr const char* ERASE_LINE = "\x1b[K";  // ECMA-48 EL: erases to the end of the line
}  // namespace

TBoards_Display::TBoards_Display(std::ostream& out, TProgress_Style style, std::vector<TBoard> boards)
    : Out_(out), Style_(style), Boards_(std::move(boards)), Shown_(Boards_.size()) {}

std::string TBoards_Display::Line(const std::string& label, const TBoard_Status::TView& view) {
  return label + ": " + view.Phase + (view.Percent ? " " + std::to_string(*view.Percent) + "%" : "");
}

void TBoards_Display::Draw() {
  if (Style_ == PROGRESS_QUIET) return;
  bool changed = false;
  for (std::size_t index = 0; index < Boards_.size(); ++index) {
    TBoard_Status::TView shown = Boards_[index].Status->View();
    if (shown.Percent && Style_ == PROGRESS_LINES) *shown.Percent -= *shown.Percent % 10;
    if (Shown_[index] != shown) {
      Shown_[index] = shown;
      changed = true;
      if (Style_ == PROGRESS_LINES) Out_ << Line(Boards_[index].Label, shown) << '\n';
    }
  }
  if (Style_ != PROGRESS_BAR || !changed) return;
  if (Drawn_) Out_ << CURSOR_UP << Boards_.size() << 'A';
  for (std::size_t index = 0; index < Boards_.size(); ++index)
    Out_ << '\r' << Line(Boards_[index].Label, *Shown_[index]) << ERASE_LINE << '\n';
  Out_ << std::flush;
  Drawn_ = true;
}
