// yeli-cli's back end: the virtual controller's options on its command line, and the bridges and
// the set-up checks they choose.
#pragma once

#include "app/TService_Options.h"
#include "cli/TBack_End.h"

#include <functional>
#include <memory>
#include <string>

// The bridges for the options taken; nothing, with the reason in `error`, when they cannot be made.
using TService_Bridges_Maker =
    std::function<std::shared_ptr<TBridges>(const TService_Options& options, std::string& error)>;

// `check_setup` checks this machine's set-up, which matters only when the bridges are real.
TBack_End_Options Cli_Back_End_Options(TService_Bridges_Maker make, TSetup_Checker check_setup);
