// A command's work on the boards chosen for it. One board works on this thread, with the program's
// own output; several work at once, each on a thread of its own with its own context, its own view
// of its bridge and its own output, which is printed, each line after its board's USB path, once
// all have ended. With a report, each board's record is appended as the board ends.
#pragma once

#include "cli/Cli_Commands.h"
#include "cli/Select_Boards.h"
#include "cli/TReport_File.h"

#include <vector>

// `boards`: none for the one bridge the command's own search finds. On one board a failure ends
// the call as it ends the work; on several the exit status: 0 when every board is done, 130 when a
// signal stopped one, otherwise 1.
int Run_On_Boards(TCli_Context& context, const std::string& command, const TBoard_Work& work,
                  const std::vector<TSelected_Board>& boards, const TReport_File* report);
