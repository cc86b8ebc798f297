// What both library views share: the bridges of the last enumeration, and the tty of each bridge,
// kept open for as long as the bridge stays attached.
//
// Opening a tty makes the kernel assert DTR and RTS (drivers/tty/tty_port.c,
// tty_port_block_til_ready raises both on every open), and on the controller board DTR is the
// microcontroller's reset. So a bridge is opened once, after which RTS and then DTR are released
// to let the controller run its application; the library's open and close only hand out and take
// back handles to that tty, and it is closed when the bridge leaves.
#pragma once

#include "platform/TBridge_Host.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TBridge_Ports {
public:
  explicit TBridge_Ports(TBridge_Host& host) : Host_(host) {}

  // Enumerates again and closes the ttys of the bridges that have left; false when the listing
  // cannot be read.
  bool Refresh();
  std::size_t Count() const { return Bridges_.size(); }
  // The bridge at `index` of the last enumeration, or null.
  const TBridge* Find(std::uint32_t index) const;

  // The bridge's tty, opening it if it is not open yet; null with an errno value when it cannot
  // be opened.
  TTty* Attach(const TBridge& bridge, int& error);
  // The open tty, or null when it has been released.
  TTty* Attached(const TBridge_Key& key) const;
  // Closes the tty (the bridge left, or is about to).
  void Release(const TBridge_Key& key) { Ports_.erase(key); }

  TBridge_Host& Host() { return Host_; }

private:
  TBridge_Host& Host_;
  std::vector<TBridge> Bridges_;
  std::map<TBridge_Key, std::unique_ptr<TTty>> Ports_;
};
