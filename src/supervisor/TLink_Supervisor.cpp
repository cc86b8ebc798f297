#include "supervisor/TLink_Supervisor.h"

#include "controller/Controller_Session.h"
#include "controller/Parameter_Protocol.h"

#include <string>

namespace {
constexpr const char* PARTIAL_IMAGE = "The last firmware update did not finish: write the firmware again";
constexpr const char* STORE_WAITS = "Write Config: the settings are stored once the controller is connected";
constexpr const char* STORE_DROPPED = "Write Config was not carried out: the settings were not written";

// The requests whose step releases the work-mode link.
bool Leaves_Work_Mode(TVOKAction action) {
  return action == VOK_TO_FIRM_MODE || action == VOK_TO_SWITCH_DRIVER || action == VOK_TO_UPDATE_FIRM;
}

std::string Version_Text(int major, int minor) { return "Firmware version: " + Version_Number(major, minor); }
}  // namespace

TLink_Supervisor::TLink_Supervisor(TVOK_Yeli& controller, TDevice_Discovery& discovery, TSupervisor_View& view,
                                   TLog& program_log, TLog& control_log, TPump pump, bool& param_changed,
                                   bool& config_not_written)
    : Controller_(controller), Discovery_(discovery), View_(view), Program_Log_(program_log),
      Control_Log_(control_log), Pump_(std::move(pump)), Param_Changed_(param_changed),
      Config_Not_Written_(config_not_written) {}

void TLink_Supervisor::Timer1Timer() {
  View_.Enable_Supervisor_Timer(false);
  struct TRestart {
    TSupervisor_View& View;
    ~TRestart() { View.Enable_Supervisor_Timer(true); }  // also when a step throws
  } restart{View_};
  Step();
}

void TLink_Supervisor::Request(TVOKAction action) {
  TVOKAction& pending = Controller_.VOK_Action;
  if (action == VOK_TO_SAVE_PARAM) return Request_Store();
  if (action == VOK_TO_WORK_MODE && pending == VOK_TO_SAVE_PARAM) return;
  if (Leaves_Work_Mode(action)) Drop_Store();
  Resume_Work_Mode_ = action == VOK_TO_SWITCH_DRIVER && (pending == VOK_TO_WORK_MODE || Resume_Work_Mode_);
  pending = action;
}

// In work mode the next tick stores; on the way to it the store waits. A request to leave work mode
// that is already pending goes first, and the store is refused.
void TLink_Supervisor::Request_Store() {
  TVOKAction& pending = Controller_.VOK_Action;
  if (Leaves_Work_Mode(pending)) return Control_Log_.Add(STORE_DROPPED);
  if (Controller_.VOK_State == VOK_OPEN) {
    pending = VOK_TO_SAVE_PARAM;
    return;
  }
  Store_Pending_ = Controller_.Prop;
  Control_Log_.Add(STORE_WAITS);
}

void TLink_Supervisor::Drop_Store() {
  if (!Store_Pending_ && Controller_.VOK_Action != VOK_TO_SAVE_PARAM) return;
  Store_Pending_.reset();
  Control_Log_.Add(STORE_DROPPED);
}

void TLink_Supervisor::Step() {
  switch (Controller_.VOK_State) {
    case VOK_OPEN: return Work();
    case VOK_CLOSE: return Search();
    case VOK_CHECK_VCP_CONN: return Check_Vcp();
    case VOK_CHECK_USB_CONN: return Check_Usb();
  }
}

void TLink_Supervisor::Search() {
  Program_Log_.Clear();
  Pump_();
  Program_Log_.Add("Search");
  Program_Log_.Add("...");
  switch (Discovery_.Search_Device()) {
    case SEARCH_VCP:
      View_.Enable_Firmware_File(false);
      View_.Show_Default_Firmware(false);
      View_.Enable_Change(true);
      Program_Log_.Clear();
      Program_Log_.Add("Found VCP device");
      Program_Log_.Add("Connect to VCP device");
      Controller_.VOK_State = VOK_CHECK_VCP_CONN;
      if (Controller_.VOK_Action == VOK_TO_SWITCH_DRIVER || View_.Auto_Switch()) Change_Driver_Mode(MODE_USBXPRESS);
      return;
    case SEARCH_USBXPRESS:
      Program_Log_.Clear();
      Program_Log_.Add("Found USB device");
      Program_Log_.Add("Connect to USB device");
      View_.Enable_Change(true);
      if (Process_USB_Device()) {
        Controller_.VOK_State = VOK_CHECK_USB_CONN;
        if (!Discovery_.Check_conn()) Controller_.VOK_State = VOK_CLOSE;
        return;
      }
      Control_Log_.Clear();
      Control_Log_.Add("Found USB device");
      Control_Log_.Add("Device is not Yeli");
      if (Controller_.VOK_Action == VOK_TO_SWITCH_DRIVER) {  // "Firmware File" stays off: no controller answered
        Change_Driver_Mode(MODE_VCP);
        View_.Enable_Change(true);
      }
      return;
    case SEARCH_SEVERAL:
      View_.Enable_Firmware_File(false);
      View_.Show_Default_Firmware(false);
      Program_Log_.Clear();
      Log_Several_Devices(Program_Log_);
      View_.Enable_Change(false);
      return;
    default:
      Program_Log_.Add("Device not found");
      View_.Enable_Change(false);
      View_.Enable_Firmware_File(false);
      View_.Show_Default_Firmware(false);
      return;
  }
}

void TLink_Supervisor::Check_Vcp() {
  if (!Discovery_.Check_conn()) {
    Controller_.VOK_State = VOK_CLOSE;
    return;
  }
  if (View_.Auto_Switch())
    Request(VOK_TO_SWITCH_DRIVER);
  else
    View_.Enable_Change(true);
  switch (Controller_.VOK_Action) {
    case VOK_TO_SWITCH_DRIVER:
      Change_Driver_Mode(MODE_USBXPRESS);
      return;
    case VOK_TO_WORK_MODE:  // the request stays pending
      if (!Process_to_Work()) Control_Log_.Add("Device not found");
      return;
    case VOK_TO_FIRM_MODE:
      Controller_.VOK_Action = VOK_NONE;
      return Release_Link();
    default:
      Controller_.VOK_Action = VOK_NONE;
      return;
  }
}

void TLink_Supervisor::Check_Usb() {
  if (!Discovery_.Check_conn()) {
    Controller_.VOK_State = VOK_CLOSE;
    return;
  }
  switch (Controller_.VOK_Action) {
    case VOK_TO_SWITCH_DRIVER:
      Change_Driver_Mode(MODE_VCP);
      View_.Enable_Firmware_File(true);
      View_.Enable_Change(true);
      return;
    case VOK_TO_UPDATE_FIRM:
      Controller_.VOK_Action = VOK_NONE;
      View_.Enable_Window(false);
      Update_Firmware();
      View_.Enable_Window(true);
      View_.Forget_Default_Firmware();
      return;
    case VOK_TO_WORK_MODE:  // on failure the request stays pending and the next tick tries again
      if (Process_to_Work()) {
        if (Controller_.VOK_Action == VOK_TO_WORK_MODE) Controller_.VOK_Action = VOK_NONE;
        Controller_.VOK_State = VOK_OPEN;
      } else {
        Control_Log_.Add("Device not found");
      }
      return;
    default:
      Controller_.VOK_Action = VOK_NONE;
      return;
  }
}

// A request for work mode is met already (the user came back to "Control Mode"), so the polling
// goes on. A switch or an update asked for on "Program Mode" before its release was carried out
// releases the link and stays pending, for the search and identification that follow.
void TLink_Supervisor::Work() {
  switch (Controller_.VOK_Action) {
    case VOK_TO_WORK_MODE:
      Controller_.VOK_Action = VOK_NONE;
      [[fallthrough]];
    case VOK_NONE:
      return Poll();
    case VOK_TO_FIRM_MODE:
      Controller_.VOK_Action = VOK_NONE;
      return Release_Link();
    case VOK_TO_SAVE_PARAM:
      return Save_Settings();
    case VOK_TO_SWITCH_DRIVER:
    case VOK_TO_UPDATE_FIRM:
      return Release_Link();
  }
}

void TLink_Supervisor::Release_Link() {
  Controller_.Close();
  Controller_.VOK_State = VOK_CLOSE;
}

void TLink_Supervisor::Poll() {
  if (Controller_.CP_State == CP_BUSY) return;
  Controller_.CP_State = CP_BUSY;
  if (!Write_Back()) return;
  if (!Controller_.GetConfigIO()) {
    Control_Log_.Add("Error read config");
    return Poll_Failure();
  }
  View_.Update_Visual_State();
  Controller_.CP_State = CP_ENABLED;
}

// While another user holds the port the request stays for a later tick. Edits made just before
// "Write Config" are sent first, so that the stored settings hold them. The exit question stays
// armed until the controller has confirmed the store.
void TLink_Supervisor::Save_Settings() {
  if (Controller_.CP_State == CP_BUSY) return;
  Controller_.CP_State = CP_BUSY;
  if (!Write_Back() || !Store_Settings(Controller_)) {
    Control_Log_.Add("Error save config to controller");
    Config_Not_Written_ = true;
    return Poll_Failure();
  }
  Control_Log_.Add("Save config to controller OK");
  Config_Not_Written_ = false;
  Controller_.CP_State = CP_ENABLED;
  Controller_.VOK_Action = VOK_NONE;
}

// Sends the panel's edits, if there are any; false after a failed write, which ends the step.
bool TLink_Supervisor::Write_Back() {
  if (!Param_Changed_) return true;
  Param_Changed_ = false;
  if (Controller_.SetConfigIO()) return true;
  Control_Log_.Add("Error update ");
  Poll_Failure();
  return false;
}

// The port is only marked closed; the next tick checks the device and starts work mode again.
void TLink_Supervisor::Poll_Failure() {
  Resume_Work_Mode_ = false;
  Controller_.CP_State = CP_CLOSE;
  Controller_.VOK_State = VOK_CHECK_USB_CONN;
  Controller_.VOK_Action = VOK_TO_WORK_MODE;
}

// An update that reached the chip left it restarted and the port closed, so the next tick searches
// again. One that never touched the flash leaves the earlier verdict on the image as it was.
void TLink_Supervisor::Update_Firmware() {
  const TUpdate_Outcome outcome = View_.UpdateFirmware();
  if (outcome != UPDATE_NOT_CONNECTED) Controller_.VOK_State = VOK_CLOSE;
  if (outcome == UPDATE_WRITTEN) Partial_Image_ = false;
  if (Leaves_Partial_Image(outcome)) Partial_Image_ = true;
}

// A request for work mode that the switch displaced, or that "Auto" switched under, is taken up
// again once the controller is found in its new mode.
void TLink_Supervisor::Change_Driver_Mode(std::uint8_t mode) {
  const bool resume = Resume_Work_Mode_ || Controller_.VOK_Action == VOK_TO_WORK_MODE;
  Resume_Work_Mode_ = false;
  Discovery_.Change_Driver_Mode(mode);
  Controller_.VOK_State = VOK_CLOSE;
  Controller_.VOK_Action = resume ? VOK_TO_WORK_MODE : VOK_NONE;
  View_.Enable_Change(false);
}

// Leaves the chip in its bootloader and the port closed, on success as well.
bool TLink_Supervisor::Process_USB_Device() {
  const TIdentification chip = Identify_Controller(Controller_, Program_Log_, BOOT_ENTRY_SETTLED);
  Log_Open_Failure(Controller_, chip.Stage, Program_Log_);
  switch (chip.Stage) {
    case STAGE_NO_BRIDGE:
      View_.Show_Default_Firmware(false);
      return false;
    case STAGE_NOT_OPENED:
      return false;
    case STAGE_NO_ANSWER:
      Program_Log_.Add("Device is not Yeli");
      return false;
    case STAGE_NO_VERSION:
    case STAGE_DONE:
      break;
  }
  Program_Log_.Add("");
  Program_Log_.Add("Conected");
  if (chip.Stage == STAGE_NO_VERSION) {
    Program_Log_.Add("Read Mem fail");
    return false;
  }
  Program_Log_.Add("Read Mem OK");
  Report_Firmware_Version(chip.Major, chip.Minor);
  // The search that follows an update clears its lines: the only sign of a failed one must stay.
  if (Partial_Image_) Program_Log_.Add(PARTIAL_IMAGE);
  View_.Enable_Firmware_File(true);
  return true;
}

void TLink_Supervisor::Report_Firmware_Version(std::uint8_t major, std::uint8_t minor) {
  if (major == FIRMWARE_ERASED) {
    Program_Log_.Add("WARNING The device is not programmed, or has an old firmware version");
    Program_Log_.Add("For correct operation update the device firmware");
    Program_Log_.Add(" ");
    View_.Show_Default_Firmware(true);
    return;
  }
  Program_Log_.Add(Version_Text(major, minor));
  const bool old = Old_Firmware(major, minor);
  if (old) Add_Old_Firmware_Warning(Program_Log_);
  View_.Show_Default_Firmware(old);
}

void TLink_Supervisor::Add_Old_Firmware_Warning(TLog& log) {
  log.Add("!!! WARNING !!!");
  log.Add("The device has an old firmware version");
  log.Add("For correct operation you should update the device firmware to v.2.3 or higher");
  log.Add(" ");
}

bool TLink_Supervisor::Process_to_Work() {
  Control_Log_.Clear();
  Control_Log_.Add("Searching Controller");
  Control_Log_.Add("...");
  const TSequence_Stage stage = Start_Work_Mode(Controller_);
  Log_Open_Failure(Controller_, stage, Control_Log_);
  switch (stage) {
    case STAGE_NO_BRIDGE:
    case STAGE_NOT_OPENED:
      return false;
    case STAGE_NO_ANSWER:
    case STAGE_NO_VERSION:
      Control_Log_.Add("Error reading config");
      return false;
    case STAGE_DONE:
      break;
  }
  const int major = Controller_.Prop.FirmW / 256;
  const int minor = Controller_.Prop.FirmW % 256;
  Control_Log_.Clear();
  Control_Log_.Add(Version_Text(major, minor));
  if (Old_Firmware(major, minor)) Add_Old_Firmware_Warning(Control_Log_);
  // A store asked for on the way: the settings the user had then go back to the controller, which
  // its restart reset to the stored ones, and are stored on the next tick.
  if (Store_Pending_) {
    for (const TParameter& setting : FULL_WRITE)
      if (setting.Field != &TVOK_Prop::Time) Controller_.Prop.*setting.Field = (*Store_Pending_).*setting.Field;
    Param_Changed_ = true;
  }
  View_.Update_Visual_State();
  Controller_.VOK_State = VOK_OPEN;
  if (Store_Pending_) {
    Store_Pending_.reset();
    Controller_.VOK_Action = VOK_TO_SAVE_PARAM;
  } else {
    Config_Not_Written_ = false;
  }
  return true;
}
