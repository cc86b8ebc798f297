// One bridge of a host, known by its USB path: the listing holds it alone, also after it has
// re-enumerated under a new address and tty, so that the code that works on the one attached bridge
// works on it while other bridges are attached. Several of them may share one host from threads of
// their own where the host allows it, as the Linux host and the virtual boards' kernel do.
#pragma once

#include "platform/TBridge_Host.h"

#include <string>

class TOne_Bridge_Host final : public TBridge_Host {
public:
  TOne_Bridge_Host(TBridge_Host& host, std::string usb_path) : Host_(host), Usb_Path_(std::move(usb_path)) {}

  std::optional<std::vector<TBridge>> Find_Bridges() override;
  std::unique_ptr<TTty> Open_Tty(const TBridge& bridge, int& error) override { return Host_.Open_Tty(bridge, error); }
  int Control(const TBridge& bridge, const TUsb_Control& request, std::span<std::uint8_t> data,
              std::size_t& transferred) override {
    return Host_.Control(bridge, request, data, transferred);
  }
  int Reset_Port(const TBridge& bridge) override { return Host_.Reset_Port(bridge); }
  std::string Usb_Device_Name(const TBridge& bridge) const override { return Host_.Usb_Device_Name(bridge); }

private:
  TBridge_Host& Host_;
  const std::string Usb_Path_;
};
