#include "platform/linux/TBridge_Ports.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <utility>

TBridge_Ports::TBridge_Ports(std::filesystem::path sys_root, std::filesystem::path dev_root)
    : Sys_Root_(std::move(sys_root)), Dev_Root_(std::move(dev_root)) {}

bool TBridge_Ports::Refresh() {
  auto bridges = Find_Bridges(Sys_Root_, Dev_Root_);
  Bridges_ = bridges ? std::move(*bridges) : std::vector<TBridge>();
  if (!bridges) return false;
  std::erase_if(Ports_, [this](const auto& port) {
    return std::none_of(Bridges_.begin(), Bridges_.end(),
                        [&](const TBridge& bridge) { return bridge.Key == port.first; });
  });
  return true;
}

const TBridge* TBridge_Ports::Find(std::uint32_t index) const {
  return index < Bridges_.size() ? &Bridges_[index] : nullptr;
}

TSerial_Port* TBridge_Ports::Attach(const TBridge& bridge, int& error) {
  if (TSerial_Port* port = Attached(bridge.Key)) return port;
  auto port = TSerial_Port::Open(bridge.Node, error);
  if (!port) return nullptr;
  // Boot source first, then reset, so the controller starts its application. A line that cannot
  // be driven shows up at the program's own modem-line calls, so it is not an open failure here.
  port->Set_Lines(0, TIOCM_RTS);
  port->Set_Lines(0, TIOCM_DTR);
  return (Ports_[bridge.Key] = std::move(port)).get();
}

TSerial_Port* TBridge_Ports::Attached(const TBridge_Key& key) const {
  const auto found = Ports_.find(key);
  return found == Ports_.end() ? nullptr : found->second.get();
}
