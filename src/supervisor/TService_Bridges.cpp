#include "supervisor/TService_Bridges.h"

#include "platform/TOne_Bridge_Host.h"
#include "platform/linux/TLinux_Bridges.h"
#include "platform/sim/TSim_Factory.h"
#include "platform/sim/TSim_Kept_Board.h"

namespace {
class TSimulated_Bridges final : public TService_Bridges {
public:
  explicit TSimulated_Bridges(TClock& clock) : Bus(clock) {}
  TUsbXpress& UsbXpress() override { return Bus.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Bus.Manufacturing(); }
  std::string Serial_Device(std::uint32_t index) override { return Bus.Serial_Device(index); }
  const TBridge* Bridge(std::uint32_t index) override { return Bus.Bridge(index); }
  TBridge_Host& Host() override { return Bus.Kernel(); }
  TSim_Bus Bus;
};

class THardware_Bridges final : public TService_Bridges {
public:
  TUsbXpress& UsbXpress() override { return Bridges_.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Bridges_.Manufacturing(); }
  std::string Serial_Device(std::uint32_t index) override { return Bridges_.Serial_Device(index); }
  const TBridge* Bridge(std::uint32_t index) override { return Bridges_.Bridge(index); }
  TBridge_Host& Host() override { return Bridges_.Host(); }

private:
  TLinux_Bridges Bridges_{Host_Roots_From_Environment()};
};

class TOne_Bridge_Bridges final : public TService_Bridges {
public:
  TOne_Bridge_Bridges(TBridge_Host& host, const std::string& usb_path) : Host_(host, usb_path) {}
  TUsbXpress& UsbXpress() override { return Bridges_.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Bridges_.Manufacturing(); }
  std::string Serial_Device(std::uint32_t index) override { return Bridges_.Serial_Device(index); }
  const TBridge* Bridge(std::uint32_t index) override { return Bridges_.Bridge(index); }
  TBridge_Host& Host() override { return Host_; }

private:
  TOne_Bridge_Host Host_;
  THost_Bridges Bridges_{Host_};
};

TSim_Factory_State Factory_State(TSimulate_Mode mode) {
  switch (mode) {
    case SIMULATE_USBXPRESS: return SIM_FACTORY_USBXPRESS;
    case SIMULATE_BLANK: return SIM_FACTORY_BLANK;
    case SIMULATE_OLD: return SIM_FACTORY_OLD;
    case SIMULATE_VCP: break;
  }
  return SIM_FACTORY_VCP;
}
}  // namespace

std::unique_ptr<TService_Bridges> One_Bridge_Of(TService_Bridges& bridges, const std::string& usb_path) {
  return std::make_unique<TOne_Bridge_Bridges>(bridges.Host(), usb_path);
}

std::unique_ptr<TService_Bridges> Make_Service_Bridges(const TService_Options& options, TClock& clock,
                                                       std::function<void(const std::string&)> report,
                                                       std::string& error) {
  if (!options.Simulate) return std::make_unique<THardware_Bridges>();
  auto simulated = std::make_unique<TSimulated_Bridges>(clock);
  std::vector<TSim_Board_Setup> setups;
  for (unsigned board = 1; board <= options.Sim_Boards; ++board) {
    TSim_Board_Setup setup =
        Simulation_Setup(Factory_State(*options.Simulate), options.Sim_Chip.value_or(SIM_PART_CP2102), board);
    setup.Line_Faults = Sim_Faults_Of(options, board);
    setup.Fault_Seed = options.Sim_Seed.value_or(0);
    setups.push_back(std::move(setup));
  }
  if (Attach_Boards(simulated->Bus, std::move(setups), options.Sim_State, std::move(report), error).empty())
    return nullptr;
  return simulated;
}
