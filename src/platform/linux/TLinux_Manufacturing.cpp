#include "platform/linux/TLinux_Manufacturing.h"

#include "platform/linux/TFailure_Line.h"

#include <libusb.h>

#include <cstdio>

namespace {
// The usbfs node, which is what the user's permissions are about.
std::string Usb_Device_Name(const TBridge& bridge) {
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bridge.Key.Bus, bridge.Key.Address);
  return std::string(node) + " (USB " + bridge.Key.Usb_Path + ")";
}
}  // namespace

CP210x_STATUS TLinux_Manufacturing::Get_Num_Devices(std::uint32_t& count) {
  Last_Error_.clear();
  const bool listed = Ports_.Refresh();
  count = static_cast<std::uint32_t>(Ports_.Count());
  return listed ? CP210x_SUCCESS : CP210x_DEVICE_IO_FAILED;
}

CP210x_STATUS TLinux_Manufacturing::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text,
                                                       std::uint32_t option) {
  Last_Error_.clear();
  if (option != SI_RETURN_DESCRIPTION) return CP210x_INVALID_PARAMETER;
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return CP210x_DEVICE_NOT_FOUND;
  Set_Device_String(text, bridge->Product);
  return CP210x_SUCCESS;
}

CP210x_STATUS TLinux_Manufacturing::Open(std::uint32_t index, CP210x_HANDLE& handle) {
  Last_Error_.clear();
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return CP210x_DEVICE_NOT_FOUND;
  handle = Next_Handle_++;
  Handles_.emplace(handle, *bridge);
  return CP210x_SUCCESS;
}

CP210x_STATUS TLinux_Manufacturing::Close(CP210x_HANDLE handle) {
  return Handles_.erase(handle) != 0 ? CP210x_SUCCESS : CP210x_INVALID_HANDLE;
}

CP210x_STATUS TLinux_Manufacturing::Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  vid = bridge->Vid;
  return CP210x_SUCCESS;
}

CP210x_STATUS TLinux_Manufacturing::Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  pid = bridge->Pid;
  return CP210x_SUCCESS;
}

CP210x_STATUS TLinux_Manufacturing::Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  return Usb_Status(*bridge, Usb_.Write_Product_Id(bridge->Key.Bus, bridge->Key.Address, pid));
}

// The tty goes with the device, so its descriptor is let go first.
CP210x_STATUS TLinux_Manufacturing::Reset(CP210x_HANDLE handle) {
  const TBridge* bridge = Bridge_Of(handle);
  if (!bridge) return CP210x_INVALID_HANDLE;
  Ports_.Release(bridge->Key);
  return Usb_Status(*bridge, Usb_.Reset(bridge->Key.Bus, bridge->Key.Address));
}

const TBridge* TLinux_Manufacturing::Bridge_Of(CP210x_HANDLE handle) const {
  const auto found = Handles_.find(handle);
  return found == Handles_.end() ? nullptr : &found->second;
}

CP210x_STATUS TLinux_Manufacturing::Usb_Status(const TBridge& bridge, int usb_error) {
  Last_Error_ = Failure_Line(Usb_Device_Name(bridge), Usb_Errno(usb_error));
  if (usb_error == 0) return CP210x_SUCCESS;
  return usb_error == LIBUSB_ERROR_NO_DEVICE ? CP210x_DEVICE_NOT_FOUND : CP210x_DEVICE_IO_FAILED;
}
