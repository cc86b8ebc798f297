// yeli-cli as a whole: reads the command line, runs the command on the bridges it asks for, and
// turns the command's end into the exit status, with one line on standard error for a failure.
#pragma once

#include "cli/TBack_End.h"
#include "cli/TCli_Context.h"
#include "cli/TCli_Options.h"
#include "platform/TClock.h"
#include "platform/TStop_Flag.h"

#include <ostream>
#include <string>
#include <vector>

struct TCli_Host {
  TClock& Clock;
  std::ostream& Out;
  std::ostream& Err;
  bool Err_Is_Terminal;
  TBack_End_Options Back_End;
  const TStop_Flag* Stop = nullptr;  // set by SIGINT or SIGTERM
};

// `arguments` without the program's name.
int Run_Yeli_Cli(const std::vector<std::string>& arguments, const TCli_Host& host);

// The help, with the back end's lines on its own options.
std::string Cli_Usage(const std::string& back_end_usage);
