// cnf show and cnf diff: configuration files on their own, no device needed.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Files.h"
#include "cli/Record_Output.h"

void Run_Cnf_Show(TCli_Context& context) { Print_Record(context, Read_Cnf(context.Arguments[0], context.Err)); }

void Run_Cnf_Diff(TCli_Context& context) {
  const std::string& first = context.Arguments[0];
  const std::string& second = context.Arguments[1];
  Print_Differences(context, Read_Cnf(first, context.Err), Read_Cnf(second, context.Err), first, second);
}
