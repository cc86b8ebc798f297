#include "platform/sim/TSim_Kept_Board.h"

#include "platform/sim/TSim_State_File.h"

#include <filesystem>

TSim_Board* Attach_Board(TSim_Bus& bus, TSim_Board_Setup setup, const std::string& state_file, TSim_Report report,
                         std::string& error) {
  if (state_file.empty()) return &bus.Attach(std::move(setup));

  TSim_Persistent_State state{setup.Bridge.Pid, setup.Flash, setup.Settings, setup.Pid_Programmed};
  if (std::filesystem::exists(state_file)) {
    error = Load_Board_State(state_file, state);
    if (!error.empty()) return nullptr;
  }
  error = Save_Board_State(state_file, state);
  if (!error.empty()) return nullptr;

  if (state.Pid != setup.Bridge.Pid) setup.Bridge = Enumerated_Identity(setup.Bridge, state.Pid);
  setup.Flash = std::move(state.Flash);
  setup.Settings = std::move(state.Settings);
  setup.Pid_Programmed = state.Pid_Programmed;
  TSim_Board& board = bus.Attach(std::move(setup));
  board.On_Persistent_Change([state_file, report = std::move(report)](const TSim_Persistent_State& changed) {
    const std::string problem = Save_Board_State(state_file, changed);
    if (!problem.empty() && report) report(problem);
  });
  return &board;
}
