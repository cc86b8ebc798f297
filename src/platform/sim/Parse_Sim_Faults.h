// The virtual board's line faults and their seed as the command line gives them:
// "--sim-faults noise=0.0005,late=0.02,drop=0.01,unplug=60" and "--sim-seed 42".
#pragma once

#include "platform/sim/TSim_Faults.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// The faults of a comma-separated list of NAME=VALUE items, or what is wrong with it, naming the
// item at fault. Probabilities lie from 0 to 1; the unplug period is in seconds.
std::variant<TSim_Line_Faults, std::string> Parse_Sim_Faults(const std::string& list);
// The same, each item set in `faults` over what it holds; what is wrong, or an empty text, in which
// case `faults` is left as it was.
std::string Add_Sim_Faults(const std::string& list, TSim_Line_Faults& faults);

// A seed: a whole decimal number that fits 32 bits.
std::optional<std::uint32_t> Parse_Sim_Seed(const std::string& text);

// The seed when none is given, from the clock, so that runs differ; tell it, so a run can be repeated.
std::uint32_t Sim_Seed_From_Clock();
// The line that tells it.
std::string Sim_Seed_Line(std::uint32_t seed);
