// Attaching boards whose persistent state (flash, settings, stored product id) lives in a file from
// one run to the next: the `--sim-state FILE` option. The boards of one run share one file.
#pragma once

#include "platform/sim/TSim_Bus.h"
#include "platform/sim/TSim_State_Keeper.h"

#include <string>
#include <vector>

// Attaches a board for each of `setups`, in order, each as set up or, when `state_file` names a
// file that exists, as the file kept it; then saves the file at once and after every change (a
// section the file holds beyond the boards attached stays as it was). An empty `state_file` keeps
// nothing. Returns the boards, or none with the reason in `error` when the file cannot be read or
// written.
std::vector<TSim_Board*> Attach_Boards(TSim_Bus& bus, std::vector<TSim_Board_Setup> setups,
                                       const std::string& state_file, TSim_Report report, std::string& error);

// The same for one board; nullptr when it cannot be attached.
TSim_Board* Attach_Board(TSim_Bus& bus, TSim_Board_Setup setup, const std::string& state_file, TSim_Report report,
                         std::string& error);
