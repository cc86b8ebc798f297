#include "platform/sim/TSim_Bus.h"

TSim_Bus::TSim_Bus(TClock& clock) : Clock_(clock), Usb_(*this), Manufacturing_(*this) {}

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

std::uint32_t TSim_Bus::Listed_Count(TSim_View view) {
  std::lock_guard lock(Mutex_);
  std::uint32_t count = 0;
  for (const auto& board : Boards_) count += board->Listed(view) ? 1 : 0;
  return count;
}

std::string TSim_Bus::Serial_Device(std::uint32_t index) {
  std::lock_guard lock(Mutex_);
  for (std::size_t position = 0; position < Boards_.size(); ++position)
    if (Boards_[position]->Listed(SIM_VIEW_MANUFACTURING) && index-- == 0)
      return "virtual:" + std::to_string(position + 1);
  return {};
}

TSim_Board* TSim_Bus::Listed_Board(TSim_View view, std::uint32_t index) {
  std::lock_guard lock(Mutex_);
  for (const auto& board : Boards_)
    if (board->Listed(view) && index-- == 0) return board.get();
  return nullptr;
}
