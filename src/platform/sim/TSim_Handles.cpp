#include "platform/sim/TSim_Handles.h"

// A USBXpress open takes the device from the handle before it, which is dropped here, so a host
// that reopens without closing does not pile handles up.
std::uintptr_t TSim_Handles::Add(const TSim_Link& link) {
  std::lock_guard lock(Mutex_);
  if (link.Session.View == SIM_VIEW_USBXPRESS)
    std::erase_if(Links_, [&](const auto& entry) { return entry.second.Board == link.Board; });
  Links_.emplace(Next_, link);
  return Next_++;
}

std::optional<TSim_Link> TSim_Handles::Find(std::uintptr_t handle) const {
  std::lock_guard lock(Mutex_);
  const auto found = Links_.find(handle);
  if (found == Links_.end()) return std::nullopt;
  return found->second;
}

void TSim_Handles::Remove(std::uintptr_t handle) {
  std::lock_guard lock(Mutex_);
  Links_.erase(handle);
}
