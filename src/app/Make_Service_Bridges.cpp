#include "app/Make_Service_Bridges.h"

#include "platform/linux/TLinux_Bridges.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/Sim_Kept_Boards.h"
#include "platform/sim/TSim_Bus.h"

namespace {
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

std::unique_ptr<TBridges> Make_Service_Bridges(const TService_Options& options, TClock& clock,
                                               std::function<void(const std::string&)> report, std::string& error) {
  if (!options.Simulate) return std::make_unique<TLinux_Bridges>(Host_Roots_From_Environment());
  auto simulated = std::make_unique<TSim_Bus>(clock);
  std::vector<TSim_Board_Setup> setups;
  for (unsigned board = 1; board <= options.Sim_Boards; ++board) {
    TSim_Board_Setup setup =
        Simulation_Setup(Factory_State(*options.Simulate), options.Sim_Chip.value_or(SIM_PART_CP2102), board);
    setup.Line_Faults = Sim_Faults_Of(options, board);
    setup.Fault_Seed = options.Sim_Seed.value_or(0);
    setups.push_back(std::move(setup));
  }
  if (Attach_Boards(*simulated, std::move(setups), options.Sim_State, std::move(report), error).empty())
    return nullptr;
  return simulated;
}
