// Attaching a board whose persistent state (flash, settings, stored product id) lives in a file
// from one run to the next: the `--sim-state FILE` option.
#pragma once

#include "platform/sim/TSim_Bus.h"

#include <functional>
#include <string>

// Told what went wrong when a save fails; the board runs on.
using TSim_Report = std::function<void(const std::string& problem)>;

// Attaches a board set up as `setup`, or, when `state_file` names a file that exists, as that file
// kept it; then saves it to `state_file` at once and after every change. An empty `state_file`
// keeps nothing. Returns nullptr with the reason in `error` when the file cannot be read or written.
TSim_Board* Attach_Board(TSim_Bus& bus, TSim_Board_Setup setup, const std::string& state_file, TSim_Report report,
                         std::string& error);
