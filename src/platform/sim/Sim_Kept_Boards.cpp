#include "platform/sim/Sim_Kept_Boards.h"

#include "platform/sim/Sim_State_File.h"

#include <filesystem>
#include <memory>
#include <system_error>

std::vector<TSim_Board*> Attach_Boards(TSim_Bus& bus, std::vector<TSim_Board_Setup> setups,
                                       const std::string& state_file, TSim_Report report, std::string& error) {
  std::vector<TSim_Board*> boards;
  if (state_file.empty()) {
    for (TSim_Board_Setup& setup : setups) boards.push_back(&bus.Attach(std::move(setup)));
    return boards;
  }

  std::vector<TSim_Persistent_State> states;
  for (const TSim_Board_Setup& setup : setups)
    states.push_back({setup.Bridge.Pid, setup.Flash, setup.Settings, setup.Pid_Programmed});
  if (std::filesystem::exists(state_file)) {
    error = Load_Board_States(state_file, states);
    if (!error.empty()) return {};
  }
  error = Save_Board_States(state_file, states);
  if (!error.empty()) return {};

  std::shared_ptr<TSim_State_Keeper> keeper;
  try {
    keeper = std::make_shared<TSim_State_Keeper>(state_file, states, std::move(report));
  } catch (const std::system_error& failure) {
    error = "cannot keep " + state_file + ": " + failure.what();
    return {};
  }
  for (std::size_t index = 0; index < setups.size(); ++index) {
    TSim_Board_Setup& setup = setups[index];
    TSim_Persistent_State& state = states[index];
    if (state.Pid != setup.Bridge.Pid) setup.Bridge = Enumerated_Identity(setup.Bridge, state.Pid);
    setup.Flash = std::move(state.Flash);
    setup.Settings = std::move(state.Settings);
    setup.Pid_Programmed = state.Pid_Programmed;
    TSim_Board& board = bus.Attach(std::move(setup));
    board.On_Persistent_Change(
        [keeper, index](const TSim_Persistent_State& changed) { keeper->Changed(index, changed); });
    boards.push_back(&board);
  }
  return boards;
}

TSim_Board* Attach_Board(TSim_Bus& bus, TSim_Board_Setup setup, const std::string& state_file, TSim_Report report,
                         std::string& error) {
  std::vector<TSim_Board_Setup> setups;
  setups.push_back(std::move(setup));
  const std::vector<TSim_Board*> boards = Attach_Boards(bus, std::move(setups), state_file, std::move(report), error);
  return boards.empty() ? nullptr : boards.front();
}
