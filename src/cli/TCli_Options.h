// The command line of yeli-cli: the command with its arguments, and the options common to all.
#pragma once

#include "firmware/STM32F1_Families.h"
#include "platform/TOption_Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct TCli_Options {
  std::vector<std::string> Devices;  // --device D, each time it is given: the bridges to work on
  bool All = false;                  // --all: every bridge attached
  std::string Report;                // --report FILE: a JSON line per board and command appended to FILE
  bool Identify = false;             // list: the firmware version of each bridge too
  bool Json = false;         // one JSON document on standard output
  bool Verbose = false;      // every byte on the wire, and the log lines, on standard error
  bool Store = false;        // load, reset-filter: store the settings permanently afterwards
  bool Permanent = false;    // mode: write a product id that the bridge can take only once
  std::optional<std::uint32_t> Address;  // read-flash
  std::optional<std::uint32_t> Length;   // read-flash
  std::optional<std::uint32_t> Baud;     // identify, flash, read-flash: the bootloader's rate
  const TSTM32_Family* Family = nullptr;  // image show: the chip the image is meant for
  std::vector<std::string> Words;        // the command and its arguments, in order

  // Several bridges at once, each in a worker of its own.
  bool Many_Boards() const { return All || Devices.size() > 1; }
};

enum TCli_Request : std::uint8_t { CLI_SHOW_HELP, CLI_SHOW_VERSION };

// Options to run with, a request for the help or the version, or what is wrong with the line, once
// the back end has taken its own options out of it.
std::variant<TCli_Options, TCli_Request, TOption_Error> Parse_Cli_Options(const std::vector<std::string>& arguments);

// A whole number in decimal or, after "0x", in hexadecimal, that fits 32 bits.
std::optional<std::uint32_t> Parse_Cli_Number(const std::string& text);
