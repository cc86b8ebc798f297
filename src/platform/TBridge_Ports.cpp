#include "platform/TBridge_Ports.h"

#include <algorithm>
#include <utility>

bool TBridge_Ports::Refresh() {
  auto bridges = Host_.Find_Bridges();
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

TTty* TBridge_Ports::Attach(const TBridge& bridge, int& error) {
  if (TTty* port = Attached(bridge.Key)) return port;
  auto port = Host_.Open_Tty(bridge, error);
  if (!port) return nullptr;
  // Boot source first, then reset, each a request of its own (cp210x.c, cp210x_tiocmset_port
  // writes only the lines it is given), so the controller starts its application. A line that
  // cannot be driven shows up at the program's own modem-line calls, so it is no open failure here.
  port->Set_Lines(0, TTY_RTS);
  port->Set_Lines(0, TTY_DTR);
  return (Ports_[bridge.Key] = std::move(port)).get();
}

TTty* TBridge_Ports::Attached(const TBridge_Key& key) const {
  const auto found = Ports_.find(key);
  return found == Ports_.end() ? nullptr : found->second.get();
}
