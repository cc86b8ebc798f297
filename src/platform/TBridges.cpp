#include "platform/TBridges.h"

#include "platform/THost_Bridges.h"
#include "platform/TOne_Bridge_Host.h"

namespace {
// The views of the host that lists the one bridge; it outlives them.
class TOne_Bridge final : public TBridges {
public:
  TOne_Bridge(TBridge_Host& host, const std::string& usb_path) : Host_(host, usb_path) {}
  TUsbXpress& UsbXpress() override { return Bridges_.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Bridges_.Manufacturing(); }
  std::string Serial_Device(std::uint32_t index) const override { return Bridges_.Serial_Device(index); }
  const TBridge* Bridge(std::uint32_t index) const override { return Bridges_.Bridge(index); }
  TBridge_Host& Host() override { return Host_; }

private:
  TOne_Bridge_Host Host_;
  THost_Bridges Bridges_{Host_};
};
}  // namespace

std::unique_ptr<TBridges> TBridges::One_Bridge(const std::string& usb_path) {
  return std::make_unique<TOne_Bridge>(Host(), usb_path);
}
