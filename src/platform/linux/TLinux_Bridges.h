// The hardware layer on Linux: the CP210x bridges that the kernel's cp210x driver serves, seen
// through the two bridge libraries' interfaces.
#pragma once

#include "platform/THost_Bridges.h"
#include "platform/linux/TLinux_Host.h"

#include <utility>

class TLinux_Bridges final : public TBridges {
public:
  explicit TLinux_Bridges(THost_Roots roots = {}) : Host_(std::move(roots)) {}

  TUsbXpress& UsbXpress() override { return Bridges_.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Bridges_.Manufacturing(); }
  const TBridge* Bridge(std::uint32_t index) const override { return Bridges_.Bridge(index); }
  // The tty node of the bridge at `index` of the last enumeration ("/dev/ttyUSB0"); empty when none.
  std::string Serial_Device(std::uint32_t index) const override { return Bridges_.Serial_Device(index); }
  TBridge_Host& Host() override { return Host_; }

private:
  TLinux_Host Host_;
  THost_Bridges Bridges_{Host_};
};
