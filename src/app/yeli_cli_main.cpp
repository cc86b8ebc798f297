// yeli-cli: the controller's operations without a window, for scripts and production lines.
#include "cli/TYeli_Cli.h"
#include "platform/TReal_Clock.h"
#include "platform/linux/Check_Setup.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
  TReal_Clock clock;
  const TCli_Host host{clock, std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                       [&clock](const TService_Options& options, std::string& error) {
                         return Make_Service_Bridges(
                             options, clock,
                             [](const std::string& problem) { std::cerr << "yeli-cli: " << problem << '\n'; }, error);
                       },
                       [] {
                         TSetup_Places places;
                         places.Roots = Host_Roots_From_Environment();
                         places.User_Groups = Process_Group_Names();
                         return Check_Setup(places);
                       }};
  return Run_Yeli_Cli({argv + 1, argv + argc}, host);
}
