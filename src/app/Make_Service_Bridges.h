// The bridges yeli-service and yeli-cli work with: the built-in virtual controller under --simulate,
// the CP210x bridges attached to this machine otherwise (under the roots the environment names).
#pragma once

#include "app/TService_Options.h"
#include "platform/TBridges.h"
#include "platform/TClock.h"

#include <functional>
#include <memory>
#include <string>

// Nothing, with the reason in `error`, when the virtual controller's state file cannot be used.
// `report` hears of a state file that could not be saved later on.
std::unique_ptr<TBridges> Make_Service_Bridges(const TService_Options& options, TClock& clock,
                                               std::function<void(const std::string&)> report, std::string& error);
