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
  std::vector<TBoard_Status::TView> views;
  for (std::size_t index = 0; index < Boards_.size(); ++index) {
    const TBoard_Status::TView view = Boards_[index].Status->View();
    std::optional<int> step = view.Percent;
    if (step && Style_ == PROGRESS_LINES) *step /= 10;
    const bool same = Shown_[index] && Shown_[index]->Phase == view.Phase && Shown_[index]->Step == step;
    if (!same) {
      Shown_[index] = TShown{view.Phase, step};
      changed = true;
      if (Style_ == PROGRESS_LINES) Out_ << Line(Boards_[index].Label, view) << '\n';
    }
    views.push_back(view);
  }
  if (Style_ != PROGRESS_BAR || !changed) return;
  if (Drawn_) Out_ << CURSOR_UP << Boards_.size() << 'A';
  for (std::size_t index = 0; index < Boards_.size(); ++index)
    Out_ << '\r' << Line(Boards_[index].Label, views[index]) << ERASE_LINE << '\n';
  Out_ << std::flush;
  Drawn_ = true;
}
