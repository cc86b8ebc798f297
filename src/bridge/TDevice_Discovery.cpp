#include "bridge/TDevice_Discovery.h"

#include "platform/CP210x_Part.h"
#include "platform/Hex_Text.h"

#include <chrono>
#include <string>

using namespace std::chrono_literals;

namespace {
constexpr auto REPAINT_WAIT = 300ms;  // after clearing the log, so the user sees the switch begin
constexpr auto RESET_WAIT = 1000ms;   // the bridge leaves the bus before its handle is closed
}  // namespace

void Log_Several_Devices(TLog& log) {
  log.Add("Found more that one device");
  log.Add("Remove all usb devices except for Yeli controller!");
}

TDevice_Discovery::TDevice_Discovery(TManufacturing& manufacturing, TCP21xx& port, TClock& clock, TLog& program_log,
                                     TPump pump, TConfirm_Permanent confirm_permanent)
    : Manufacturing_(manufacturing), Port_(port), Clock_(clock), Log_(program_log), Pump_(std::move(pump)),
      Confirm_Permanent_(std::move(confirm_permanent)) {}

bool TDevice_Discovery::Read_Product_String() {
  return Manufacturing_.Get_Product_String(0, Product_String, SI_RETURN_DESCRIPTION) == CP210x_SUCCESS;
}

int TDevice_Discovery::Search_Device() {
  std::uint32_t count = 0;
  if (Manufacturing_.Get_Num_Devices(count) != CP210x_SUCCESS || count == 0) return SEARCH_NONE;
  if (count > 1) return SEARCH_SEVERAL;
  if (!Read_Product_String()) return SEARCH_NONE;
  const std::string product = Device_String_Text(Product_String);
  int result = SEARCH_NONE;
  if (product == VCP_PRODUCT && Get_PID_VID()) result = SEARCH_VCP;
  if (product == USBXPRESS_PRODUCT && Get_PID_VID()) result = SEARCH_USBXPRESS;
  return result;
}

// Any identifiers are accepted; unexpected ones are only reported.
bool TDevice_Discovery::Get_PID_VID() {
  std::uint32_t count = 0;
  if (Manufacturing_.Get_Num_Devices(count) != CP210x_SUCCESS || count == 0) return false;
  if (count > 1) {
    Log_Several_Devices(Log_);
    return false;
  }
  std::uint16_t vid = 0;
  std::uint16_t pid = 0;
  Manufacturing_.Open(0, Handle);
  Manufacturing_.Get_Device_Vid(Handle, vid);
  Manufacturing_.Get_Device_Pid(Handle, pid);
  Log_.Add("");
  Log_.Add("Pid: " + Hex_Text(pid, 4));
  Log_.Add("Vid: " + Hex_Text(vid, 4));
  Log_.Add(vid == SILABS_VID && (pid == USBXPRESS_PID || pid == VCP_PID) ? "VID, PID - succes" : "Found unknown device");
  Manufacturing_.Close(Handle);
  return true;
}

bool TDevice_Discovery::Check_conn() {
  std::uint32_t count = 0;
  if (Manufacturing_.Get_Num_Devices(count) != CP210x_SUCCESS) {
    Log_.Add("Error get num device");
    return false;
  }
  if (count != 1) {
    Log_.Add("Device not found");
    return false;
  }
  if (Read_Product_String()) return true;
  Log_.Add("Prodact string read error");
  return false;
}

// The bridge is reset even when the new id could not be written; it comes back with the id it holds.
void TDevice_Discovery::Change_Driver_Mode(std::uint8_t mode) {
  Log_.Clear();
  Pump_();
  Clock_.Sleep(REPAINT_WAIT);
  if (mode != MODE_VCP && mode != MODE_USBXPRESS) return;
  if (Port_.CP_State == CP_OPEN) Port_.Close();
  Manufacturing_.Open(0, Handle);
  if (!Permanent_Change_Allowed()) {
    Log_.Add("Driver mode not changed");
    Manufacturing_.Close(Handle);
    return;
  }
  if (Manufacturing_.Set_Pid(Handle, mode == MODE_VCP ? VCP_PID : USBXPRESS_PID) == CP210x_SUCCESS) {
    Log_.Add("Change VID status: succes");
  } else {
    Log_.Add("Change VID status: error");
    if (const std::string cause = Manufacturing_.Last_Error(); !cause.empty()) Log_.Add(cause);
  }
  Log_.Add("Reset Chip");
  Manufacturing_.Reset(Handle);
  Clock_.Sleep(RESET_WAIT);
  Manufacturing_.Close(Handle);
}

// A part that cannot be read is switched as any other: its write then fails or succeeds by itself.
bool TDevice_Discovery::Permanent_Change_Allowed() {
  std::uint8_t part = 0;
  if (Manufacturing_.Get_Part_Number(Handle, part) != CP210x_SUCCESS || !Is_One_Time_Programmable(part)) return true;
  Log_.Add("The bridge is a " + Part_Name(part) +
           ", whose product id can be written only once: this switch is permanent");
  return Confirm_Permanent_ && Confirm_Permanent_();
}
