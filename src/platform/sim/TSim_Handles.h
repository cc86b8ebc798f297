// The handles one library view has given out: each names a board and a session on it.
#pragma once

#include "platform/sim/TSim_Board.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

struct TSim_Link {
  TSim_Board* Board;
  TSim_Session Session;
};

class TSim_Handles {
public:
  std::uintptr_t Add(const TSim_Link& link);
  std::optional<TSim_Link> Find(std::uintptr_t handle) const;
  void Remove(std::uintptr_t handle);

private:
  mutable std::mutex Mutex_;
  std::map<std::uintptr_t, TSim_Link> Links_;
  std::uintptr_t Next_ = 1;  // 0 is never a handle
};
