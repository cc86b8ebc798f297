// What a yeli-cli command works with: its options and arguments, the clock, the two output streams,
// the bridges, which are made when a command first needs them, the checks of the set-up, the stop
// request of a signal, and, on one of many boards, the board's status and record.
#pragma once

#include "cli/TBack_End.h"
#include "cli/TBoard_Record.h"
#include "cli/TBoard_Status.h"
#include "cli/TCli_Failure.h"
#include "cli/TCli_Options.h"
#include "cli/TProgress_Display.h"
#include "platform/TBridges.h"
#include "platform/TClock.h"
#include "platform/TStop_Flag.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct TCli_Context {
  const TCli_Options& Options;
  std::vector<std::string> Arguments;  // those after the command's words
  TClock& Clock;
  std::ostream& Out;
  std::ostream& Err;
  bool Err_Is_Terminal;
  std::function<TBridges&()> Bridges;  // fails with the reason when they cannot be made
  TSetup_Checker Check_Setup;        // null when the bridges are virtual
  const TStop_Flag* Stop = nullptr;  // set by SIGINT or SIGTERM
  TBoard_Status* Board = nullptr;    // where one of many boards shows what it does; null for one board
  TBoard_Record* Record = nullptr;   // what the command tells of its board; null when nothing is recorded

  // Between two steps of a command: a stop request ends the command here, unwinding as a failure
  // does, so that the controller is restarted and partial files are removed.
  void Stop_Point() const {
    if (Stop_Requested(Stop)) Fail(EXIT_STOPPED, "stopped by a signal");
  }

  // Under --verbose the wire trace shows what happens, and the firmware writer's thread writes it.
  TProgress_Style Progress_Style() const {
    return Options.Verbose ? PROGRESS_QUIET : Err_Is_Terminal ? PROGRESS_BAR : PROGRESS_LINES;
  }

  // The progress of a long step, labelled as the command's name.
  TProgress_Display Progress(std::string label) const {
    if (Board) return TProgress_Display(Err, *Board, std::move(label));
    return TProgress_Display(Err, Progress_Style(), std::move(label));
  }
  // What one of many boards does now, as its progress line shows it.
  void Phase(std::string phase) const {
    if (Board) Board->Set_Phase(std::move(phase));
  }
};
