#include "platform/sim/TSim_Bus.h"

TSim_Bus::TSim_Bus(TClock& clock) : Clock_(clock) {}

TSim_Board& TSim_Bus::Attach(TSim_Board_Setup setup) {
  std::lock_guard lock(Mutex_);
  const auto seed = static_cast<std::uint32_t>(Boards_.size() + 1);
  return *Boards_.emplace_back(std::make_unique<TSim_Board>(Clock_, std::move(setup), seed));
}

TSim_Board& TSim_Bus::Board(std::size_t index) {
  std::lock_guard lock(Mutex_);
  return *Boards_.at(index);
}

std::size_t TSim_Bus::Board_Count() const {
  std::lock_guard lock(Mutex_);
  return Boards_.size();
}
