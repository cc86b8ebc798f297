// The command line of yeli-service.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum TSimulate_Mode { SIMULATE_VCP, SIMULATE_USBXPRESS, SIMULATE_BLANK, SIMULATE_OLD };

struct TService_Options {
  std::optional<TSimulate_Mode> Simulate;  // run on the built-in virtual controller
  std::string Sim_State;                   // file that keeps the virtual controller between runs
  std::optional<std::uint8_t> Sim_Chip;    // the virtual bridge's part number (CP210X_PART_*); CP2102 if none
};

enum TService_Request { SHOW_HELP, SHOW_VERSION };

struct TOption_Error {
  std::string Message;
};

// Options to run with, a request to print help or the version, or what is wrong with the line.
std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments);

// "--simulate" (vcp) or "--simulate=MODE": the mode, or what is wrong with it; nothing for any other
// argument. Other programs' parsers take no optional option values, so they ask this first.
std::optional<std::variant<TSimulate_Mode, TOption_Error>> Parse_Simulate_Option(const std::string& argument);
// The value of --sim-chip: the part number it names, or what is wrong with it.
std::variant<std::uint8_t, TOption_Error> Parse_Sim_Chip(const std::string& value);
// What is wrong with a combination of the simulation options, if anything.
std::optional<TOption_Error> Simulation_Problem(const TService_Options& options);

std::string Service_Usage();
std::string Service_Version();
