#include "bridge/TDevice_Discovery.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace std::chrono_literals;

namespace {
constexpr std::uint16_t SILABS_VID = 0x10C4;
constexpr std::uint16_t VCP_PID = 0xEA60;
constexpr std::uint16_t USBXPRESS_PID = 0xEA61;
constexpr auto REPAINT_WAIT = 300ms;  // after clearing the log, so the user sees the switch begin
constexpr auto RESET_WAIT = 1000ms;   // the bridge leaves the bus before its handle is closed

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}
}  // namespace

TDevice_Discovery::TDevice_Discovery(TManufacturing& manufacturing, TCP21xx& port, TClock& clock, TLog& program_log,
                                     TPump pump)
    : Manufacturing_(manufacturing), Port_(port), Clock_(clock), Log_(program_log), Pump_(std::move(pump)) {}

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
    Log_.Add("Found more that one device");
    Log_.Add("Remove all usb devices except for Yeli controller!");
    return false;
  }
  std::uint16_t vid = 0;
  std::uint16_t pid = 0;
  Manufacturing_.Open(0, Handle);
  Manufacturing_.Get_Device_Vid(Handle, vid);
  Manufacturing_.Get_Device_Pid(Handle, pid);
  Log_.Add("");
  Log_.Add("Pid: " + Hex4(pid));
  Log_.Add("Vid: " + Hex4(vid));
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
