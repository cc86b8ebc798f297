// The link supervisor: once a second, one step chosen by the link state and the pending action:
// search, identify, switch the driver mode, enter work mode, poll and write back, store the
// settings, or run a firmware update.
#pragma once

#include "bridge/TDevice_Discovery.h"
#include "controller/TVOK_Yeli.h"
#include "platform/TLog.h"
#include "supervisor/TSupervisor_View.h"

#include <optional>

class TLink_Supervisor {
public:
  TLink_Supervisor(TVOK_Yeli& controller, TDevice_Discovery& discovery, TSupervisor_View& view, TLog& program_log,
                   TLog& control_log, TPump pump, bool& param_changed, bool& config_not_written);

  // One tick: the timer is off while the step runs, so steps never overlap.
  void Timer1Timer();
  // A request of the user's, for the next ticks. A newer request replaces a pending one, but none
  // vanishes unseen: a store waits for work mode (and the work-mode request stays), a request for
  // work mode leaves a pending store in place, a driver switch lets a work-mode request displaced
  // by it resume afterwards, and a store that a request to leave work mode displaces is logged.
  void Request(TVOKAction action);
  // Identifies a controller through its ROM bootloader and reads its firmware version.
  bool Process_USB_Device();
  // Starts the application and reads the whole parameter set.
  bool Process_to_Work();
  // Switches the bridge's driver mode; the next tick searches again.
  void Change_Driver_Mode(std::uint8_t mode);

private:
  void Step();
  void Search();
  void Check_Vcp();
  void Check_Usb();
  void Work();
  void Poll();
  void Save_Settings();
  bool Write_Back();
  void Poll_Failure();
  void Update_Firmware();
  void Request_Store();
  void Drop_Store();
  void Release_Link();
  void Report_Firmware_Version(std::uint8_t major, std::uint8_t minor);
  void Add_Old_Firmware_Warning(TLog& log);

  TVOK_Yeli& Controller_;
  TDevice_Discovery& Discovery_;
  TSupervisor_View& View_;
  TLog& Program_Log_;
  TLog& Control_Log_;
  TPump Pump_;
  bool& Param_Changed_;
  bool& Config_Not_Written_;
  // The last update that got as far as the flash left no whole image there, and none has since.
  bool Partial_Image_ = false;
  // Write Config pressed outside work mode: the settings the user had then, to be written back and
  // stored once work mode is reached, since the restart into the application forgets them.
  std::optional<TVOK_Prop> Store_Pending_;
  bool Resume_Work_Mode_ = false;  // a driver switch displaced a request for work mode
};
