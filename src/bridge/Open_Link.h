// Opening the bridge port for one protocol and closing it again, as every user of the port does,
// and the lines that report an open that failed.
#pragma once

#include "bridge/TCP21xx.h"
#include "platform/TLog.h"

#include <cstdint>

// How far a sequence on the controller got.
enum TSequence_Stage : std::uint8_t {
  STAGE_NO_BRIDGE,   // CP_Connect found no bridge in USBXpress mode
  STAGE_NOT_OPENED,  // Init_CP could not open or set up the bridge
  STAGE_NO_ANSWER,   // the bootloader did not identify itself, or the application did not answer
  STAGE_NO_VERSION,  // identification: the bootloader refused to read the firmware version
  STAGE_DONE,
};

// CP_Connect, then Init_CP with `line_control`. Open: CP_State is CP_OPEN; otherwise CP_CLOSE.
TSequence_Stage Open_Link(TCP21xx& port, std::uint16_t line_control);

// Closes the port and marks it closed, also when the bridge went away and the close failed.
void Close_Link(TCP21xx& port);

// For STAGE_NO_BRIDGE "Error connection", for STAGE_NOT_OPENED "Error CP init", each followed by the
// platform's cause when it knows one the user can act on (a device they may not open).
void Log_Open_Failure(const TCP21xx& port, TSequence_Stage stage, TLog& log);
