#include "platform/sim/TSim_State_Keeper.h"

#include "platform/sim/Sim_State_File.h"

TSim_State_Keeper::TSim_State_Keeper(std::filesystem::path file, std::vector<TSim_Persistent_State> states,
                                     TSim_Report report)
    : File_(std::move(file)), Report_(std::move(report)), States_(std::move(states)),
      Writer_([this] { Write_Changes(); }) {}

TSim_State_Keeper::~TSim_State_Keeper() {
  {
    std::lock_guard lock(Mutex_);
    Ending_ = true;
  }
  Wake_.notify_one();
  Writer_.join();
}

void TSim_State_Keeper::Changed(std::size_t board, const TSim_Persistent_State& state) {
  {
    std::lock_guard lock(Mutex_);
    States_.at(board) = state;
    Unwritten_ = true;
  }
  Wake_.notify_one();
}

// The file is written from a copy, so that the boards hand over their changes meanwhile.
void TSim_State_Keeper::Write_Changes() {
  std::unique_lock lock(Mutex_);
  for (;;) {
    Wake_.wait(lock, [this] { return Unwritten_ || Ending_; });
    if (!Unwritten_) return;
    const std::vector<TSim_Persistent_State> states = States_;
    Unwritten_ = false;
    lock.unlock();
    const std::string problem = Save_Board_States(File_, states);
    if (!problem.empty() && Report_) Report_(problem);
    lock.lock();
  }
}
