// The sequences that bring the controller to its ROM bootloader or to its application: opening
// the port, identification with the firmware version, the start of work mode, and storing the
// settings. Each tells how far it got; the callers write the messages.
#pragma once

#include "bridge/Open_Link.h"
#include "controller/TVOK_Yeli.h"
#include "firmware/Firmware_Version.h"
#include "platform/TLog.h"

#include <cstdint>
#include <string>

struct TIdentification {
  TSequence_Stage Stage = STAGE_NO_BRIDGE;
  std::uint8_t Major = 0;  // of the firmware in flash once Stage is STAGE_DONE; 0xFF: erased flash
  std::uint8_t Minor = 0;
};

// Starts the ROM bootloader at 8E1 and the port's baud rate, entering it as `entry` says
// (Connect_Bootloader, which may fall back to 38400 baud and say so on `log`), learns its command
// codes and the chip's memory map, and reads the firmware version: an answer that stops short is no
// version, rather than bytes never sent. The port is closed at the end and the chip stays in its
// bootloader.
TIdentification Identify_Controller(TSTM32& chip, TLog& log, TBoot_Entry entry);

// Restarts the chip into its application at 8N1 and runs the full read. The port stays open,
// with CP_State CP_ENABLED when the read succeeded and CP_CLOSE when it failed.
TSequence_Stage Start_Work_Mode(TVOK_Yeli& controller);

enum TLoad_Stage : std::uint8_t {
  LOAD_NOT_WRITTEN,  // the controller did not confirm the settings sent
  LOAD_NOT_READ,     // the record could not be read back
  LOAD_NOT_TAKEN,    // the record read back differs from the settings sent
  LOAD_DONE,
};

struct TLoad_Result {
  TLoad_Stage Stage = LOAD_NOT_WRITTEN;
  std::string Differences;  // for LOAD_NOT_TAKEN, as Setting_Differences gives them
};

// On a port that Open_Link opened at 8N1: sends `settings` as the controller's record and reads the
// record back. CP_State is CP_ENABLED at LOAD_DONE; otherwise the port is only marked closed.
TLoad_Result Load_Settings(TVOK_Yeli& controller, const TVOK_Prop& settings);

// The store-settings command (a read of parameter 96); true when the controller answered.
bool Store_Settings(TVOK_Yeli& controller);

// Before the program lets go of the bridge: restarts a chip that it left in its bootloader into its
// application, opening the port again for that if needed, then closes the port. Closing a tty
// releases RTS and DTR together (cp210x.c, cp210x_close disables the UART), which does not reset
// the chip, so one left in its bootloader would stay stopped there. STAGE_DONE, or the stage at
// which opening the port failed, the chip then left as it is.
TSequence_Stage Leave_Running(TSTM32& chip);
