// Fuzz target: the virtual board's state file reader (--sim-state). Any text is either refused with
// a reason or gives a state that saves and loads back unchanged.
#include "Fuzz_Support.h"
#include "platform/sim/TSim_Factory.h"
#include "platform/sim/TSim_Memory.h"
#include "platform/sim/TSim_State_File.h"

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
  TSim_Persistent_State state = factory;
  if (const std::string problem = Load_Board_State(Fuzz_File("board.state", data, size), state); !problem.empty())
    return 0;
  Require(state.Flash.size() == SIM_FLASH_SIZE, "the flash keeps its size");
  Require(state.Settings.size() == factory.Settings.size(), "the settings keep their ids");

  const std::filesystem::path copy = Fuzz_File("copy.state", nullptr, 0);
  Require(Save_Board_State(copy, state).empty(), "a loaded state can be saved");
  TSim_Persistent_State again = factory;
  Require(Load_Board_State(copy, again).empty(), "a saved state loads");
  Require(Same(again, state), "a saved state loads back unchanged");
  return 0;
}
