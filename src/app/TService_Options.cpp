#include "app/TService_Options.h"

#include "platform/CP210x_Part.h"
#include "platform/sim/Parse_Sim_Faults.h"
#include "platform/sim/TSim_Bus.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<const char*, TSimulate_Mode>, 4> MODES = {
    {{"vcp", SIMULATE_VCP}, {"usbxpress", SIMULATE_USBXPRESS}, {"blank", SIMULATE_BLANK}, {"old", SIMULATE_OLD}}};

std::optional<TSimulate_Mode> Mode_Named(const std::string& name) {
  for (auto [mode_name, mode] : MODES)
    if (name == mode_name) return mode;
  return std::nullopt;
}

// "--simulate=VALUE": MODE or, for many boards, MODE:N, into `options`.
std::optional<TOption_Error> Set_Simulate(const std::string& value, TSim_Board_Count count,
                                          TService_Options& options) {
  std::string name = value;
  if (const std::size_t colon = value.find(':'); count == SIM_MANY_BOARDS && colon != std::string::npos) {
    name = value.substr(0, colon);
    const std::string boards = value.substr(colon + 1);
    const auto number = Parse_Sim_Seed(boards);
    if (!number || *number < 1 || *number > SIM_MAX_BOARDS)
      return TOption_Error{"--simulate=MODE:N attaches 1 to " + std::to_string(SIM_MAX_BOARDS) + " boards, not '" +
                           boards + "'"};
    options.Sim_Boards = *number;
  }
  const auto mode = Mode_Named(name);
  if (!mode) return TOption_Error{"unknown simulation mode '" + name + "' (use vcp, usbxpress, blank or old)"};
  options.Simulate = *mode;
  return std::nullopt;
}

std::optional<TOption_Error> Set_Sim_Chip(const std::string& name, TService_Options& options) {
  const auto part = Part_Named(name);
  if (!part) return TOption_Error{"unknown chip '" + name + "' for --sim-chip (use " + PART_NAMES + ")"};
  options.Sim_Chip = *part;
  return std::nullopt;
}

std::optional<TOption_Error> Set_Sim_State(const std::string& file, TService_Options& options) {
  if (file.empty()) return TOption_Error{"--sim-state needs a file name"};
  options.Sim_State = file;
  return std::nullopt;
}

// A list "N:LIST" is board N's, counted from 1 in the boards' order on the bus; the items of the
// lists given apply in order, each over what an earlier one set.
std::optional<TOption_Error> Set_Sim_Faults(const std::string& list, TService_Options& options) {
  const std::size_t colon = list.find(':');
  if (colon == std::string::npos) {
    TSim_Line_Faults every = options.Sim_Faults;
    if (std::string problem = Add_Sim_Faults(list, every); !problem.empty()) return TOption_Error{problem};
    options.Sim_Faults = every;
    for (auto& [board, faults] : options.Sim_Board_Faults) Add_Sim_Faults(list, faults);
    return std::nullopt;
  }
  const std::string number = list.substr(0, colon);
  const auto board = Parse_Sim_Seed(number);
  if (!board || *board == 0)
    return TOption_Error{"--sim-faults: '" + number + ":' needs a board's number, counted from 1"};
  TSim_Line_Faults own = Sim_Faults_Of(options, *board);
  if (std::string problem = Add_Sim_Faults(list.substr(colon + 1), own); !problem.empty())
    return TOption_Error{problem};
  options.Sim_Board_Faults[*board] = own;
  return std::nullopt;
}

std::optional<TOption_Error> Set_Sim_Seed(const std::string& text, TService_Options& options) {
  options.Sim_Seed = Parse_Sim_Seed(text);
  if (!options.Sim_Seed) return TOption_Error{"--sim-seed needs a whole number from 0 to 4294967295, not '" + text + "'"};
  return std::nullopt;
}

// The options that take a value, as "--NAME VALUE" or "--NAME=VALUE".
struct TValue_Option {
  std::string Name;
  const char* Needs;  // what a missing value should have been
  std::optional<TOption_Error> (*Set)(const std::string& value, TService_Options& options);
};

const TValue_Option VALUE_OPTIONS[] = {{"--sim-chip", "a chip", Set_Sim_Chip},
                                       {"--sim-state", "a file name", Set_Sim_State},
                                       {"--sim-faults", "a list", Set_Sim_Faults},
                                       {"--sim-seed", "a number", Set_Sim_Seed}};

// The value option at `i` into `options`, moving `i` past its value: whether `i` was one, and in
// `problem` what is wrong with it.
bool Take_Value_Option(const std::vector<std::string>& arguments, std::size_t& i, TService_Options& options,
                       std::optional<TOption_Error>& problem) {
  const std::string& argument = arguments[i];
  for (const TValue_Option& option : VALUE_OPTIONS) {
    if (argument.starts_with(option.Name + "=")) {
      problem = option.Set(argument.substr(option.Name.size() + 1), options);
      return true;
    }
    if (argument != option.Name) continue;
    if (++i == arguments.size())
      problem = TOption_Error{option.Name + " needs " + option.Needs};
    else
      problem = option.Set(arguments[i], options);
    return true;
  }
  return false;
}

// What is wrong with a combination of the options, if anything.
std::optional<TOption_Error> Simulation_Problem(const TService_Options& options) {
  if (!options.Sim_State.empty() && !options.Simulate) return TOption_Error{"--sim-state needs --simulate"};
  if ((options.Sim_Faults.Any() || !options.Sim_Board_Faults.empty()) && !options.Simulate)
    return TOption_Error{"--sim-faults needs --simulate"};
  if (!options.Sim_Board_Faults.empty() && options.Sim_Board_Faults.rbegin()->first > options.Sim_Boards) {
    const std::string board = std::to_string(options.Sim_Board_Faults.rbegin()->first);
    const std::string boards = options.Sim_Boards == 1 ? "board 1" : "boards 1 to " + std::to_string(options.Sim_Boards);
    return TOption_Error{"--sim-faults " + board + ":...: there is no virtual board " + board + ", only " + boards};
  }
  if (options.Sim_Seed && !options.Simulate) return TOption_Error{"--sim-seed needs --simulate"};
  if (options.Sim_Chip && !options.Simulate) return TOption_Error{"--sim-chip needs --simulate"};
  return std::nullopt;
}
}  // namespace

std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments) {
  std::vector<std::string> rest = arguments;
  auto taken = Take_Sim_Options(rest, SIM_ONE_BOARD);
  if (const auto* error = std::get_if<TOption_Error>(&taken)) return *error;
  if (rest.empty()) return std::get<TService_Options>(taken);
  const std::string& argument = rest.front();
  if (argument == "--help" || argument == "-h") return SHOW_HELP;
  if (argument == "--version" || argument == "-v") return SHOW_VERSION;
  return TOption_Error{"unknown option '" + argument + "'"};
}

std::variant<TService_Options, TOption_Error> Take_Sim_Options(std::vector<std::string>& arguments,
                                                              TSim_Board_Count count) {
  TService_Options options;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") {
      rest.insert(rest.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
      break;
    }
    std::optional<TOption_Error> problem;
    if (argument == "--simulate")
      options.Simulate = SIMULATE_VCP;
    else if (argument.starts_with("--simulate="))
      problem = Set_Simulate(argument.substr(std::string("--simulate=").size()), count, options);
    else if (!Take_Value_Option(arguments, i, options, problem))
      rest.push_back(argument);
    if (problem) return *problem;
  }
  if (const auto problem = Simulation_Problem(options)) return *problem;
  arguments = std::move(rest);
  return options;
}

TSim_Line_Faults Sim_Faults_Of(const TService_Options& options, unsigned board) {
  const auto own = options.Sim_Board_Faults.find(board);
  return own == options.Sim_Board_Faults.end() ? options.Sim_Faults : own->second;
}

std::string Settle_Sim_Seed(TService_Options& options) {
  const bool aimed = std::any_of(options.Sim_Board_Faults.begin(), options.Sim_Board_Faults.end(),
                                 [](const auto& board) { return board.second.Any(); });
  if (!options.Sim_Faults.Any() && !aimed) return {};
  if (!options.Sim_Seed) options.Sim_Seed = Sim_Seed_From_Clock();
  return Sim_Seed_Line(*options.Sim_Seed);
}

std::string Service_Usage() {
  return "Usage: yeli-service [--simulate[=vcp|usbxpress|blank|old]] [--sim-chip CHIP] [--sim-state FILE]\n"
         "                    [--sim-faults LIST] [--sim-seed N]\n"
         "\n"
         "The service tool for the Yeli ventilation controller.\n"
         "\n"
         "  --simulate[=MODE]  run on the built-in virtual controller instead of real hardware:\n"
         "                       vcp        bridge in virtual-COM-port mode, firmware 2.3 (default)\n"
         "                       usbxpress  bridge in USBXpress mode, firmware 2.3\n"
         "                       blank      bridge in USBXpress mode, flash erased\n"
         "                       old        bridge in USBXpress mode, firmware 2.0\n"
         "  --sim-chip CHIP    the virtual controller's bridge: cp2102 (default), cp2102n or cp2104\n"
         "  --sim-state FILE   keep the virtual controller's flash, settings and bridge identity in\n"
         "                     FILE from one run to the next\n"
         "  --sim-faults LIST  with --simulate: a bad line, e.g. noise=0.0005,late=0.02,drop=0.01\n"
         "                     (probabilities per byte, per answer, per byte) and unplug=SECONDS\n"
         "                     (the bridge leaves the bus for 2 s at that period)\n"
         "  --sim-seed N       when the faults strike (default: from the clock)\n"
         "  -h, --help         show this help and exit\n"
         "  -v, --version      show the version and exit\n"
         "\n"
         "Without --simulate the program works with the CP210x bridges attached to this machine; it\n"
         "looks for them under /sys and /dev, or under YELI_SYSFS_ROOT and YELI_DEV_ROOT when set.\n";
}

std::string Service_Version() { return "yeli-service 3.9\n"; }
