// The command line of yeli-service.
#pragma once

#include "platform/sim/TSim_Faults.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum TSimulate_Mode { SIMULATE_VCP, SIMULATE_USBXPRESS, SIMULATE_BLANK, SIMULATE_OLD };

struct TService_Options {
  std::optional<TSimulate_Mode> Simulate;  // run on the built-in virtual controller
  unsigned Sim_Boards = 1;                 // how many virtual boards (yeli-cli's --simulate=MODE:N)
  std::string Sim_State;                   // file that keeps the virtual controller between runs
  TSim_Line_Faults Sim_Faults;             // --sim-faults LIST: the virtual line's faults, on every board
  std::map<unsigned, TSim_Line_Faults> Sim_Board_Faults;  // --sim-faults N:LIST: all faults of board N
  std::optional<std::uint32_t> Sim_Seed;   // --sim-seed N: when the faults strike
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
// --sim-faults LIST and --sim-seed N into `options`: what is wrong with the value, if anything. A list
// "N:LIST" is board N's, counted from 1 in the boards' order on the bus; the items of the lists
// given apply in order, each over what an earlier one set.
std::optional<TOption_Error> Set_Sim_Faults(const std::string& list, TService_Options& options);
// N of yeli-cli's "--simulate=MODE:N", given as `text` and read as `boards`, into `options`: what is
// wrong with it, if anything.
std::optional<TOption_Error> Set_Sim_Boards(std::optional<std::uint32_t> boards, const std::string& text,
                                            TService_Options& options);
// The faults of the `board`-th virtual board, from 1.
TSim_Line_Faults Sim_Faults_Of(const TService_Options& options, unsigned board);
std::optional<TOption_Error> Set_Sim_Seed(const std::string& text, TService_Options& options);
// With faults and no seed given, one from the clock. Returns the line that tells the seed, so that
// the run can be repeated; empty without faults.
std::string Settle_Sim_Seed(TService_Options& options);

// The value of --sim-chip: the part number it names, or what is wrong with it.
std::variant<std::uint8_t, TOption_Error> Parse_Sim_Chip(const std::string& value);
// What is wrong with a combination of the simulation options, if anything.
std::optional<TOption_Error> Simulation_Problem(const TService_Options& options);

std::string Service_Usage();
std::string Service_Version();
