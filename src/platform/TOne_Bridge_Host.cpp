#include "platform/TOne_Bridge_Host.h"

// A USB path names one port of one hub: the bridges listed there are the ttys of one device.
std::optional<std::vector<TBridge>> TOne_Bridge_Host::Find_Bridges() {
  auto bridges = Host_.Find_Bridges();
  if (bridges) std::erase_if(*bridges, [this](const TBridge& bridge) { return bridge.Key.Usb_Path != Usb_Path_; });
  return bridges;
}
