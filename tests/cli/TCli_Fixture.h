// yeli-cli run in-process on virtual boards and the virtual clock: the arguments go in, the exit
// status and what went to standard output and standard error come out.
#pragma once

#include "app/Cli_Back_End.h"
#include "app/Make_Service_Bridges.h"
#include "cli/Run_Yeli_Cli.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <sstream>

// Starts with no board attached.
struct TCli_Runner {
  int Run_Cli(const std::vector<std::string>& arguments, bool terminal = false) {
    Out.str("");
    Err.str("");
    // The fixture's bus, lent whatever the simulation options say.
    const auto lend_bus = [this](const TService_Options&, std::string&) {
      return std::shared_ptr<TBridges>(std::shared_ptr<void>(), &Bus);
    };
    const TCli_Host host{Clock, Out, Err, terminal, Cli_Back_End_Options(lend_bus, [this] { return Check_Setup(); }),
                         &Stop};
    return Run_Yeli_Cli(arguments, host);
  }
  TSim_Board& Attach(TSim_Factory_State state = SIM_FACTORY_USBXPRESS, std::uint8_t part = SIM_PART_CP2102) {
    return Bus.Attach(Factory_Setup(state, part, static_cast<unsigned>(Bus.Board_Count() + 1)));
  }
  std::string Path(const std::string& name) const { return (Folder / name).string(); }

  std::string Output() const { return Out.str(); }
  std::string Errors() const { return Err.str(); }

  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TTest_Folder Folder;
  TSetup_Checker Check_Setup = [] { return std::vector<TSetup_Check>(); };  // what doctor finds
  TStop_Flag Stop{false};  // as SIGINT or SIGTERM sets it
  std::ostringstream Out;
  std::ostringstream Err;
};

class TCli_Fixture : public testing::Test, public TCli_Runner {};

// yeli-cli run in-process on the virtual clock, on the virtual boards that the program itself makes
// from --simulate and the other options of the virtual controller.
struct TCli_Program {
  int Run_Cli(const std::vector<std::string>& arguments) {
    Out.str("");
    Err.str("");
    return Run_Yeli_Cli(arguments, Host);
  }

  TVirtual_Clock Clock;
  std::ostringstream Out;
  std::ostringstream Err;
  const TCli_Host Host{Clock, Out, Err, false,
                       Cli_Back_End_Options(
                           [this](const TService_Options& options, std::string& error) {
                             return Make_Service_Bridges(options, Clock, {}, error);
                           },
                           {})};
};
