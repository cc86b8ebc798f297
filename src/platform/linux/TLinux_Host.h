// The host's bridges on Linux: the sysfs walk, the ttys through termios, and the USB devices
// through libusb.
#pragma once

#include "platform/TBridge_Host.h"
#include "platform/linux/THost_Roots.h"
#include "platform/linux/TUsb_Access.h"

#include <utility>

class TLinux_Host final : public TBridge_Host {
public:
  explicit TLinux_Host(THost_Roots roots) : Roots_(std::move(roots)) {}

  std::optional<std::vector<TBridge>> Find_Bridges() override;
  std::unique_ptr<TTty> Open_Tty(const TBridge& bridge, int& error) override;
  int Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
              std::size_t& transferred) override;
  int Reset_Port(const TBridge& bridge) override;
  // The usbfs node, which is what the user's permissions are about: "/dev/bus/usb/001/005 (USB 1-2)".
  std::string Usb_Device_Name(const TBridge& bridge) const override;

private:
  THost_Roots Roots_;
  TUsb_Access Usb_;
};

// The usbfs node of a USB device under the /dev root.
std::filesystem::path Usb_Device_Node(const std::filesystem::path& dev_root, int bus, int address);
