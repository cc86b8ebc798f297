#include "app/Cli_Back_End.h"

#include <utility>

namespace {
constexpr const char* USAGE =
    "  --simulate[=MODE[:N]]  work on the built-in virtual controller instead of real hardware:\n"
    "                       vcp (default), usbxpress, blank or old; N boards (1 to 32) at once\n"
    "  --sim-state FILE     with --simulate: keep the virtual controller in FILE between runs\n"
    "  --sim-chip CHIP      with --simulate: the virtual bridge, cp2102 (default), cp2102n or cp2104\n"
    "  --sim-faults [N:]LIST  with --simulate: a bad line, e.g. noise=0.0005,late=0.02,drop=0.01,\n"
    "                       unplug=SECONDS (the bridge leaves the bus for 2 s at that period);\n"
    "                       N: on board N alone, counted from 1\n"
    "  --sim-seed N         when the faults strike (default: from the clock; --verbose tells it)\n";
}  // namespace

TBack_End_Options Cli_Back_End_Options(TService_Bridges_Maker make, TSetup_Checker check_setup) {
  auto take = [make = std::move(make), check_setup = std::move(check_setup)](
                  std::vector<std::string>& arguments) -> std::variant<TBack_End, TOption_Error> {
    auto taken = Take_Sim_Options(arguments, SIM_MANY_BOARDS);
    if (const auto* error = std::get_if<TOption_Error>(&taken)) return *error;
    TService_Options options = std::get<TService_Options>(taken);
    TBack_End back_end;
    if (const std::string seed = Settle_Sim_Seed(options); !seed.empty()) back_end.Note = "sim: " + seed;
    if (!options.Simulate) back_end.Check_Setup = check_setup;
    back_end.Make_Bridges = [make, options](std::string& error) { return make(options, error); };
    return back_end;
  };
  return {std::move(take), USAGE};
}
