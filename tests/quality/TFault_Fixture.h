// The real window on a virtual board for the fault table: a fault struck at a chosen moment of the
// link supervisor's work, the firmware update it may strike into, and what a fault may leave behind
// on the board.
#pragma once

#include "TBoard_Faults.h"
#include "support/TControl_Board_Fixture.h"
#include "support/TTest_Folder.h"

#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

enum TFault_Log { LOG_PROGRAM, LOG_CONTROL };

// The line a fault must show: the first line of `Log` that begins with `Text`. No text: the fault
// goes unnoticed, as nothing in the protocol can tell.
struct TExpected_Line {
  TFault_Log Log;
  const char* Text;
};

class TFault_Fixture : public TControl_Board_Fixture {
protected:
  explicit TFault_Fixture(TSim_Factory_State state);

  TFault_Site Site() { return {Bus, Clock}; }
  void Strike(const TFault& fault) { fault(Site()); }
  // Strikes as the supervisor's next tick begins, before its step runs.
  void Strike_At_Next_Tick(TFault fault) { Next_Tick_ = std::move(fault); }
  QStringList Lines(TFault_Log log) const;
  bool Shows(const TExpected_Line& line) const;
  // Ticks until the line shows; each tick's log is looked at before the next one clears it.
  void Tick_Until_Shown(const TExpected_Line& line, int ticks = 6);

  // --- The firmware update ---
  // Chooses the image file with "Firmware File" and presses "Write".
  void Request_Update();
  QStringList Update_Lines() const;  // the program log from the update's first line on
  TBytes Flash();                    // all of it
  TBytes Flash_Of_Image();           // where the image goes

  // --- Settings ---
  TSim_Settings Stored();  // in the board's non-volatile memory, without the running filter time
  // Whether the window's record holds what the board runs with, setting by setting.
  bool Record_Matches_Board();
  // Whether no byte was ever sent to a board but the controller under test.
  bool Only_The_Controller_Heard_Us();
  // Moves the inflow S0 slider to `position` as the user drags it; the duty it stands for.
  std::uint16_t Move_Inflow_S0(int position);

  TTest_Folder Folder;

private:
  TFault Next_Tick_;
};

// The image the update rows write: version 2.5 of the application, a little over 64 blocks.
const TBytes& Update_Image();
unsigned Update_Image_Blocks();

inline const QStringList SUCCESSFUL_UPDATE_TAIL = {"Verify firmware OK", "Update firmware finish", "Chip disconnect"};
