// The hardware layer on Linux: the CP210x bridges that the kernel's cp210x driver serves, seen
// through the two bridge libraries' interfaces. Both views list the same bridges in the same order.
#pragma once

#include "platform/linux/TBridge_Ports.h"
#include "platform/linux/TLinux_Manufacturing.h"
#include "platform/linux/TLinux_UsbXpress.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

class TLinux_Bridges {
public:
  explicit TLinux_Bridges(std::filesystem::path sys_root = "/sys", std::filesystem::path dev_root = "/dev")
      : Ports_(std::move(sys_root), std::move(dev_root)) {}

  TUsbXpress& UsbXpress() { return UsbXpress_; }
  TManufacturing& Manufacturing() { return Manufacturing_; }
  // The tty node of the bridge at `index` of the last enumeration ("/dev/ttyUSB0"); empty when none.
  std::string Serial_Device(std::uint32_t index) const {
    const TBridge* bridge = Ports_.Find(index);
    return bridge ? bridge->Node.string() : std::string();
  }

private:
  TBridge_Ports Ports_;
  TLinux_UsbXpress UsbXpress_{Ports_};
  TLinux_Manufacturing Manufacturing_{Ports_};
};
