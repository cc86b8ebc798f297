// What one board's worker is doing, for the display of many boards: the phase it is in and, where
// it counts, how much of it is done. The worker sets it and the display reads it, each under the
// board's own lock, so neither ever waits for more than a copy.
#pragma once

#include <mutex>
#include <optional>
#include <string>

class TBoard_Status {
public:
  struct TView {
    std::string Phase;            // "identify", "flash"
    std::optional<int> Percent;   // of the phase, where it counts
    bool operator==(const TView&) const = default;
  };

  void Set_Phase(std::string phase) { Set({std::move(phase), std::nullopt}); }
  void Set_Percent(std::string phase, int percent) { Set({std::move(phase), percent}); }
  TView View() const {
    std::lock_guard lock(Mutex_);
    return View_;
  }

private:
  void Set(TView view) {
    std::lock_guard lock(Mutex_);
    View_ = std::move(view);
  }

  mutable std::mutex Mutex_;
  TView View_{"start", std::nullopt};
};
