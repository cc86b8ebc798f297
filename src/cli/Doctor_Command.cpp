// doctor: whether this machine is set up for the controller's bridge.
#include "cli/Cli_Commands.h"
#include "cli/TCli_Failure.h"

void Run_Doctor(TCli_Context& context) {
  if (!context.Check_Setup)
    Fail(EXIT_BAD_INPUT, "checks this machine's set-up for real bridges, so it takes no --simulate");
  const std::vector<TSetup_Check> checks = context.Check_Setup();
  std::size_t problems = 0;
  for (const TSetup_Check& check : checks) {
    context.Out << check.Subject << ": " << (check.Problem.empty() ? "ok" : check.Problem) << '\n';
    if (!check.Problem.empty()) ++problems;
  }
  if (problems > 0)
    Fail(EXIT_DEVICE, std::to_string(problems) + " of " + std::to_string(checks.size()) + " checks found a problem");
}
