// Where yeli-cli's bridges come from. The program hands its command line to the back end first,
// which takes its own options out of it (the virtual controller's) and chooses the bridges: virtual
// boards or this machine's.
#pragma once

#include "platform/TBridges.h"
#include "platform/TOption_Error.h"
#include "platform/TSetup_Check.h"

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// Checks this machine's set-up for real bridges.
using TSetup_Checker = std::function<std::vector<TSetup_Check>()>;

struct TBack_End {
  // Nothing, with the reason in `error`, when the bridges cannot be made. A command run lets go of
  // them when it ends; a maker may lend bridges that it keeps itself.
  std::function<std::shared_ptr<TBridges>(std::string& error)> Make_Bridges;
  TSetup_Checker Check_Setup;  // null when the bridges are not this machine's
  std::string Note;            // what --verbose tells first, such as the seed that repeats a faulty line
};

struct TBack_End_Options {
  // Takes the back end's options out of `arguments`, leaving the others in order: the back end they
  // choose, or what is wrong with them.
  std::function<std::variant<TBack_End, TOption_Error>(std::vector<std::string>& arguments)> Take;
  std::string Usage;  // their lines in --help
};
