// Fuzz target: the virtual boards' state file reader (--sim-state). Any text is either refused with
// a reason or gives states, one a board, that save and load back unchanged.
#include "Fuzz_Support.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/Sim_State_File.h"
#include "platform/sim/TSim_Bus.h"
#include "platform/sim/TSim_Memory.h"

#include <algorithm>

namespace {
TSim_Persistent_State Factory_State() {
  const TSim_Board_Setup setup = Factory_Setup(SIM_FACTORY_USBXPRESS);
  TSim_Persistent_State state{setup.Bridge.Pid, std::vector<std::uint8_t>(SIM_FLASH_SIZE, SIM_ERASED), setup.Settings};
  std::copy(setup.Flash.begin(), setup.Flash.end(), state.Flash.begin());
  return state;
}

bool Same(const TSim_Persistent_State& a, const TSim_Persistent_State& b) {
  return a.Pid == b.Pid && a.Pid_Programmed == b.Pid_Programmed && a.Flash == b.Flash && a.Settings == b.Settings;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TSim_Persistent_State factory = Factory_State();
  std::vector<TSim_Persistent_State> states = {factory};
  if (const std::string problem = Load_Board_States(Fuzz_File("board.state", data, size), states); !problem.empty())
    return 0;
  Require(states.size() <= SIM_MAX_BOARDS, "no more boards than the bus takes");
  for (const TSim_Persistent_State& state : states) {
    Require(state.Flash.size() == SIM_FLASH_SIZE, "the flash keeps its size");
    Require(state.Settings.size() == factory.Settings.size(), "the settings keep their ids");
  }

  const std::filesystem::path copy = Fuzz_File("copy.state", nullptr, 0);
  Require(Save_Board_States(copy, states).empty(), "loaded states can be saved");
  std::vector<TSim_Persistent_State> again = {factory};
  Require(Load_Board_States(copy, again).empty(), "saved states load");
  Require(std::equal(again.begin(), again.end(), states.begin(), states.end(), Same),
          "saved states load back unchanged");
  return 0;
}
