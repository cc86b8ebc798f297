// The command line of yeli-service.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

enum TSimulate_Mode { SIMULATE_VCP, SIMULATE_USBXPRESS, SIMULATE_BLANK, SIMULATE_OLD };

struct TService_Options {
  std::optional<TSimulate_Mode> Simulate;  // run on the built-in virtual controller
  std::string Sim_State;                   // file that keeps the virtual controller between runs
};

enum TService_Request { SHOW_HELP, SHOW_VERSION };

struct TOption_Error {
  std::string Message;
};

// Options to run with, a request to print help or the version, or what is wrong with the line.
std::variant<TService_Options, TService_Request, TOption_Error> Parse_Service_Options(
    const std::vector<std::string>& arguments);

std::string Service_Usage();
std::string Service_Version();
