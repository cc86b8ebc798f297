#include "platform/THost_Manufacturing.h"

#include "platform/Bridge_Description.h"
#include "platform/CP210x_Config.h"
#include "platform/CP210x_Part.h"
#include "platform/Failure_Line.h"

#include <cerrno>

CP210x_STATUS THost_Manufacturing::Get_Num_Devices(std::uint32_t& count) {
  Last_Error_.clear();
  const bool listed = Ports_.Refresh();
  count = static_cast<std::uint32_t>(Ports_.Count());
  return listed ? CP210x_SUCCESS : CP210x_DEVICE_IO_FAILED;
}

CP210x_STATUS THost_Manufacturing::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text,
                                                      std::uint32_t option) {
  Last_Error_.clear();
  if (option != SI_RETURN_DESCRIPTION) return CP210x_INVALID_PARAMETER;
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return CP210x_DEVICE_NOT_FOUND;
  Set_Device_String(text, Bridge_Description(*bridge));
  return CP210x_SUCCESS;
}

CP210x_STATUS THost_Manufacturing::Open(std::uint32_t index, CP210x_HANDLE& handle) {
  Last_Error_.clear();
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return CP210x_DEVICE_NOT_FOUND;
  handle = Next_Handle_++;
  Handles_.emplace(handle, *bridge);
  return CP210x_SUCCESS;
}

CP210x_STATUS THost_Manufacturing::Close(CP210x_HANDLE handle) {
  return Handles_.erase(handle) != 0 ? CP210x_SUCCESS : CP210x_INVALID_HANDLE;
}

CP210x_STATUS THost_Manufacturing::Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  vid = bridge->Vid;
  return CP210x_SUCCESS;
}

CP210x_STATUS THost_Manufacturing::Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  pid = bridge->Pid;
  return CP210x_SUCCESS;
}

CP210x_STATUS THost_Manufacturing::Get_Part_Number(CP210x_HANDLE handle, std::uint8_t& part) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  return Usb_Status(*bridge, Read_Part_Number(Ports_.Host(), *bridge, part));
}

CP210x_STATUS THost_Manufacturing::Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  std::uint8_t part = 0;
  if (const CP210x_STATUS read = Get_Part_Number(handle, part); read != CP210x_SUCCESS) return read;
  const TPid_Write written = Write_Product_Id(Ports_.Host(), *bridge, part, pid);
  switch (written.Result) {
    case PID_WRITTEN:
    case PID_NOT_REACHED: return Usb_Status(*bridge, written.Error);
    case PID_CONFIG_DAMAGED:
      return Refused(*bridge, "the CP2102N's configuration reads back damaged, so it was left as it is");
    case PID_REFUSED: break;
  }
  if (Is_One_Time_Programmable(part))
    return Refused(*bridge, "a " + Part_Name(part) +
                                " keeps the product id it was given first; its driver mode cannot be changed again");
  return Refused(*bridge, "the " + Part_Name(part) + " refused the new product id");
}

// The tty goes with the device, so it is let go first.
CP210x_STATUS THost_Manufacturing::Reset(CP210x_HANDLE handle) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  Ports_.Release(bridge->Key);
  return Usb_Status(*bridge, Ports_.Host().Reset_Port(*bridge));
}

const TBridge* THost_Manufacturing::Bridge_Of(CP210x_HANDLE handle) const {
  const auto found = Handles_.find(handle);
  return found == Handles_.end() ? nullptr : &found->second;
}

CP210x_STATUS THost_Manufacturing::Usb_Status(const TBridge& bridge, int error) {
  Last_Error_ = Failure_Line(Ports_.Host().Usb_Device_Name(bridge), error);
  if (error == 0) return CP210x_SUCCESS;
  return Device_Gone(error) ? CP210x_DEVICE_NOT_FOUND : CP210x_DEVICE_IO_FAILED;
}

CP210x_STATUS THost_Manufacturing::Refused(const TBridge& bridge, const std::string& why) {
  Last_Error_ = Ports_.Host().Usb_Device_Name(bridge) + ": " + why;
  return CP210x_DEVICE_IO_FAILED;
}
