// yeli-cli: the controller's operations without a window, for scripts and production lines.
#include "app/Cli_Back_End.h"
#include "app/Make_Service_Bridges.h"
#include "cli/Run_Yeli_Cli.h"
#include "platform/TClock.h"
#include "platform/linux/Check_Setup.h"

#include <signal.h>
#include <unistd.h>

#include <iostream>

namespace {
TStop_Flag Stop{false};

// Only the flag is set here: the command stops at its next step and unwinds as usual.
void Request_Stop(int) { Stop.store(true); }

void Stop_On_Signals() {
  struct sigaction action = {};
  action.sa_handler = Request_Stop;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
}  // namespace

int main(int argc, char** argv) {
  Stop_On_Signals();
  TReal_Clock clock;
  const auto make_bridges = [&clock](const TService_Options& options, std::string& error) {
    return Make_Service_Bridges(
        options, clock, [](const std::string& problem) { std::cerr << "yeli-cli: " << problem << '\n'; }, error);
  };
  const auto check_setup = [] {
    TSetup_Places places;
    places.Roots = Host_Roots_From_Environment();
    places.User_Groups = Process_Group_Names();
    return Check_Setup(places);
  };
  const TCli_Host host{clock, std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                       Cli_Back_End_Options(make_bridges, check_setup), &Stop};
  return Run_Yeli_Cli({argv + 1, argv + argc}, host);
}
