// yeli-cli as a whole: reads the command line, runs the command on the bridges it asks for, and
// turns the command's end into the exit status, with one line on standard error for a failure.
#pragma once

#include "cli/TCli_Context.h"
#include "cli/TCli_Options.h"
#include "platform/TBridges.h"
#include "platform/TClock.h"
#include "platform/TStop_Flag.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// The bridges for the simulation options; nothing, with the reason in `error`, when they cannot be made.
// A command run lets go of them when it ends; a maker may lend bridges that it keeps itself.
using TBridges_Maker = std::function<std::shared_ptr<TBridges>(const TService_Options& options, std::string& error)>;

struct TCli_Host {
  TClock& Clock;
  std::ostream& Out;
  std::ostream& Err;
  bool Err_Is_Terminal;
  TBridges_Maker Make_Bridges;
  TSetup_Checker Check_Setup;  // the checks of doctor on this machine
  const TStop_Flag* Stop = nullptr;  // set by SIGINT or SIGTERM
};

// `arguments` without the program's name.
int Run_Yeli_Cli(const std::vector<std::string>& arguments, const TCli_Host& host);

std::string Cli_Usage();
