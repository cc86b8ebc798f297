// A host's CP210x bridges seen through the two bridge libraries' interfaces: both views list the
// same bridges in the same order, and share one kept tty per bridge.
#pragma once

#include "platform/TBridge_Ports.h"
#include "platform/TBridges.h"
#include "platform/THost_Manufacturing.h"
#include "platform/THost_UsbXpress.h"

#include <cstdint>
#include <string>

class THost_Bridges final : public TBridges {
public:
  explicit THost_Bridges(TBridge_Host& host) : Ports_(host) {}

  TUsbXpress& UsbXpress() override { return UsbXpress_; }
  TManufacturing& Manufacturing() override { return Manufacturing_; }
  // The bridge at `index` of the last enumeration of either view; null when none.
  const TBridge* Bridge(std::uint32_t index) const override { return Ports_.Find(index); }
  // Its tty's node ("/dev/ttyUSB0"); empty when there is no such bridge.
  std::string Serial_Device(std::uint32_t index) const override {
    const TBridge* bridge = Bridge(index);
    return bridge ? bridge->Node.string() : std::string();
  }
  TBridge_Host& Host() override { return Ports_.Host(); }

private:
  TBridge_Ports Ports_;
  THost_UsbXpress UsbXpress_{Ports_};
  THost_Manufacturing Manufacturing_{Ports_};
};
