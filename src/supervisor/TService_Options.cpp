#include "supervisor/TService_Options.h"

#include "platform/CP210x_Part.h"

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
}  // namespace

std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments) {
  TService_Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") return SHOW_HELP;
    if (argument == "--version" || argument == "-v") return SHOW_VERSION;
    if (const auto simulate = Parse_Simulate_Option(argument)) {
      if (const auto* error = std::get_if<TOption_Error>(&*simulate)) return *error;
      options.Simulate = std::get<TSimulate_Mode>(*simulate);
    } else if (argument == "--sim-chip" || argument.starts_with("--sim-chip=")) {
      std::string value = argument.substr(std::min(argument.size(), std::string("--sim-chip=").size()));
      if (argument == "--sim-chip") {
        if (++i == arguments.size()) return TOption_Error{"--sim-chip needs a chip"};
        value = arguments[i];
      }
      const auto chip = Parse_Sim_Chip(value);
      if (const auto* error = std::get_if<TOption_Error>(&chip)) return *error;
      options.Sim_Chip = std::get<std::uint8_t>(chip);
    } else if (argument == "--sim-state" || argument.starts_with("--sim-state=")) {
      if (argument == "--sim-state") {
        if (++i == arguments.size()) return TOption_Error{"--sim-state needs a file name"};
        options.Sim_State = arguments[i];
      } else {
        options.Sim_State = argument.substr(std::string("--sim-state=").size());
      }
      if (options.Sim_State.empty()) return TOption_Error{"--sim-state needs a file name"};
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

std::variant<std::uint8_t, TOption_Error> Parse_Sim_Chip(const std::string& value) {
  if (const auto part = Part_Named(value)) return *part;
  return TOption_Error{"unknown chip '" + value + "' for --sim-chip (use " + PART_NAMES + ")"};
}

std::optional<TOption_Error> Simulation_Problem(const TService_Options& options) {
  if (!options.Sim_State.empty() && !options.Simulate) return TOption_Error{"--sim-state needs --simulate"};
  if (options.Sim_Chip && !options.Simulate) return TOption_Error{"--sim-chip needs --simulate"};
  return std::nullopt;
}

std::string Service_Usage() {
  return "Usage: yeli-service [--simulate[=vcp|usbxpress|blank|old]] [--sim-chip CHIP] [--sim-state FILE]\n"
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
         "  -h, --help         show this help and exit\n"
         "  -v, --version      show the version and exit\n"
         "\n"
         "Without --simulate the program works with the CP210x bridges attached to this machine; it\n"
         "looks for them under /sys and /dev, or under YELI_SYSFS_ROOT and YELI_DEV_ROOT when set.\n";
}

std::string Service_Version() { return "yeli-service 3.9\n"; }
