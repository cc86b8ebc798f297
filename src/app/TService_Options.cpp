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

// The value of `--NAME VALUE` or `--NAME=VALUE` at `i`, which it moves past the value; nullopt when
// the argument is another option.
std::optional<std::string> Option_Value(const std::vector<std::string>& arguments, std::size_t& i,
                                        const std::string& name, std::optional<TOption_Error>& error) {
  const std::string& argument = arguments[i];
  if (argument.starts_with(name + "=")) return argument.substr(name.size() + 1);
  if (argument != name) return std::nullopt;
  if (++i < arguments.size()) return arguments[i];
  error = TOption_Error{name + " needs a value"};
  return std::string();
}
}  // namespace

std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments) {
  TService_Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<TOption_Error> error;
    if (argument == "--help" || argument == "-h") return SHOW_HELP;
    if (argument == "--version" || argument == "-v") return SHOW_VERSION;
    if (const auto simulate = Parse_Simulate_Option(argument)) {
      if (const auto* error = std::get_if<TOption_Error>(&*simulate)) return *error;
      options.Simulate = std::get<TSimulate_Mode>(*simulate);
    } else if (const auto chip_name = Option_Value(arguments, i, "--sim-chip", error)) {
      if (error) return TOption_Error{"--sim-chip needs a chip"};
      const auto chip = Parse_Sim_Chip(*chip_name);
      if (const auto* error = std::get_if<TOption_Error>(&chip)) return *error;
      options.Sim_Chip = std::get<std::uint8_t>(chip);
    } else if (const auto state = Option_Value(arguments, i, "--sim-state", error)) {
      if (error || state->empty()) return TOption_Error{"--sim-state needs a file name"};
      options.Sim_State = *state;
    } else if (const auto list = Option_Value(arguments, i, "--sim-faults", error)) {
      if (error) return *error;
      if (auto problem = Set_Sim_Faults(*list, options)) return *problem;
    } else if (const auto seed = Option_Value(arguments, i, "--sim-seed", error)) {
      if (error) return *error;
      if (auto problem = Set_Sim_Seed(*seed, options)) return *problem;
    } else {
      return TOption_Error{"unknown option '" + argument + "'"};
    }
  }
  if (const auto problem = Simulation_Problem(options)) return *problem;
  return options;
}

std::optional<std::variant<TSimulate_Mode, TOption_Error>> Parse_Simulate_Option(const std::string& argument) {
  if (argument == "--simulate") return SIMULATE_VCP;
  if (!argument.starts_with("--simulate=")) return std::nullopt;
  const std::string name = argument.substr(std::string("--simulate=").size());
  if (const auto mode = Mode_Named(name)) return *mode;
  return TOption_Error{"unknown simulation mode '" + name + "' (use vcp, usbxpress, blank or old)"};
}

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

std::optional<TOption_Error> Set_Sim_Boards(std::optional<std::uint32_t> boards, const std::string& text,
                                            TService_Options& options) {
  if (!boards || *boards < 1 || *boards > SIM_MAX_BOARDS)
    return TOption_Error{"--simulate=MODE:N attaches 1 to " + std::to_string(SIM_MAX_BOARDS) + " boards, not '" +
                         text + "'"};
  options.Sim_Boards = *boards;
  return std::nullopt;
}

TSim_Line_Faults Sim_Faults_Of(const TService_Options& options, unsigned board) {
  const auto own = options.Sim_Board_Faults.find(board);
  return own == options.Sim_Board_Faults.end() ? options.Sim_Faults : own->second;
}

std::optional<TOption_Error> Set_Sim_Seed(const std::string& text, TService_Options& options) {
  options.Sim_Seed = Parse_Sim_Seed(text);
  if (!options.Sim_Seed) return TOption_Error{"--sim-seed needs a whole number from 0 to 4294967295, not '" + text + "'"};
  return std::nullopt;
}

std::string Settle_Sim_Seed(TService_Options& options) {
  const bool aimed = std::any_of(options.Sim_Board_Faults.begin(), options.Sim_Board_Faults.end(),
                                 [](const auto& board) { return board.second.Any(); });
  if (!options.Sim_Faults.Any() && !aimed) return {};
  if (!options.Sim_Seed) options.Sim_Seed = Sim_Seed_From_Clock();
  return Sim_Seed_Line(*options.Sim_Seed);
}

std::variant<std::uint8_t, TOption_Error> Parse_Sim_Chip(const std::string& value) {
  if (const auto part = Part_Named(value)) return *part;
  return TOption_Error{"unknown chip '" + value + "' for --sim-chip (use " + PART_NAMES + ")"};
}

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
