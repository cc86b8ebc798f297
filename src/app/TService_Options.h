// The command line of yeli-service.
#pragma once

#include "platform/TOption_Error.h"
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

// Options to run with, a request to print help or the version, or what is wrong with the line.
std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments);

// Whether "--simulate=MODE:N" may attach N virtual boards (yeli-cli) or only one (yeli-service).
enum TSim_Board_Count : std::uint8_t { SIM_ONE_BOARD, SIM_MANY_BOARDS };

// Takes the virtual controller's options (--simulate[=MODE], --sim-state, --sim-chip, --sim-faults,
// --sim-seed) out of `arguments` up to a "--", leaving the others in order: the options, or what is
// wrong with them.
std::variant<TService_Options, TOption_Error> Take_Sim_Options(std::vector<std::string>& arguments,
                                                              TSim_Board_Count count);
// The faults of the `board`-th virtual board, from 1.
TSim_Line_Faults Sim_Faults_Of(const TService_Options& options, unsigned board);
// With faults and no seed given, one from the clock. Returns the line that tells the seed, so that
// the run can be repeated; empty without faults.
std::string Settle_Sim_Seed(TService_Options& options);

std::string Service_Usage();
std::string Service_Version();
