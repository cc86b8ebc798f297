#include "cli/TProgress_Display.h"

namespace {
constexpr int BAR_WIDTH = 40;
}  // namespace

void TProgress_Display::Show(unsigned done, unsigned total) {
  const int percent = total == 0 ? 0 : static_cast<int>(100ull * done / total);
  if (percent == Percent_ || (Style_ == PROGRESS_QUIET && !Board_)) return;
  Percent_ = percent;
  if (Board_) return Board_->Set_Percent(Label_, percent);
  if (Style_ == PROGRESS_LINES) {
    Out_ << Label_ << ": " << percent << "%\n";
    return;
  }
  const int filled = percent * BAR_WIDTH / 100;
  Out_ << '\r' << Label_ << " [" << std::string(filled, '#') << std::string(BAR_WIDTH - filled, '.') << "] "
       << percent << '%' << std::flush;
}

void TProgress_Display::Finish() {
  if (Style_ == PROGRESS_BAR && Percent_ >= 0) Out_ << '\n';
  Percent_ = -1;
}
