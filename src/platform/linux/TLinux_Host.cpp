#include "platform/linux/TLinux_Host.h"

#include "platform/linux/Sysfs_Bridges.h"
#include "platform/linux/TSerial_Port.h"

#include <cstdio>

std::filesystem::path Usb_Device_Node(const std::filesystem::path& dev_root, int bus, int address) {
  char name[16];
  std::snprintf(name, sizeof name, "%03d/%03d", bus, address);
  return dev_root / "bus" / "usb" / name;
}

std::optional<std::vector<TBridge>> TLinux_Host::Find_Bridges() { return ::Find_Bridges(Roots_.Sys, Roots_.Dev); }

std::unique_ptr<TTty> TLinux_Host::Open_Tty(const TBridge& bridge, int& error) {
  return TSerial_Port::Open(bridge.Node, error);
}

int TLinux_Host::Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
                         std::size_t& transferred) {
  return Usb_.Control(bridge, request, data, transferred);
}

int TLinux_Host::Reset_Port(const TBridge& bridge) { return Usb_.Reset(bridge); }

std::string TLinux_Host::Usb_Device_Name(const TBridge& bridge) const {
  return Usb_Device_Node(Roots_.Dev, bridge.Key.Bus, bridge.Key.Address).string() + " (USB " + bridge.Key.Usb_Path +
         ")";
}
