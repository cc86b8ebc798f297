// The state file of the boards of one run, written by a thread of its own. A board hands each
// change of its persistent state over under its own lock, which costs it a copy and nothing more;
// the writer then writes the latest state of every board as one file. So no board waits for the
// disk or for another board, and changes that come faster than the disk takes them are written
// together.
#pragma once

#include "platform/sim/TSim_Board.h"

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Told what went wrong when a save fails; the boards run on.
using TSim_Report = std::function<void(const std::string& problem)>;

class TSim_State_Keeper {
public:
  // `states`: what the file holds now, a section a board. Throws std::system_error when the system
  // cannot start the writer.
  TSim_State_Keeper(std::filesystem::path file, std::vector<TSim_Persistent_State> states, TSim_Report report);
  ~TSim_State_Keeper();  // writes the changes not written yet
  TSim_State_Keeper(const TSim_State_Keeper&) = delete;
  TSim_State_Keeper& operator=(const TSim_State_Keeper&) = delete;

  // The persistent state of the `board`-th section is now `state`.
  void Changed(std::size_t board, const TSim_Persistent_State& state);

private:
  void Write_Changes();

  const std::filesystem::path File_;
  const TSim_Report Report_;
  std::mutex Mutex_;
  std::condition_variable Wake_;
  std::vector<TSim_Persistent_State> States_;
  bool Unwritten_ = false;
  bool Ending_ = false;
  std::thread Writer_;  // last, so that it starts when the rest is ready
};
