#include "support/TScripted_Manufacturing.h"

#include <cstdio>

namespace {
std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}
}  // namespace

CP210x_STATUS TScripted_Manufacturing::Get_Num_Devices(std::uint32_t& count) {
  Calls.push_back("count");
  if (Count_Status == CP210x_SUCCESS) count = static_cast<std::uint32_t>(Devices.size());
  return Count_Status;
}

CP210x_STATUS TScripted_Manufacturing::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t) {
  Calls.push_back("product " + std::to_string(index));
  if (Product_Status != CP210x_SUCCESS) return Product_Status;
  if (index >= Devices.size()) return CP210x_DEVICE_NOT_FOUND;
  Set_Device_String(text, Devices[index].Product);
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Open(std::uint32_t index, CP210x_HANDLE& handle) {
  Calls.push_back("open " + std::to_string(index));
  handle = index + 1;
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Close(CP210x_HANDLE) {
  Calls.push_back("close");
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) {
  Calls.push_back("vid");
  vid = Devices.at(handle - 1).Vid;
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) {
  Calls.push_back("pid");
  pid = Devices.at(handle - 1).Pid;
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Get_Part_Number(CP210x_HANDLE handle, std::uint8_t& part) {
  Calls.push_back("part");
  part = Devices.at(handle - 1).Part;
  return CP210x_SUCCESS;
}

CP210x_STATUS TScripted_Manufacturing::Set_Pid(CP210x_HANDLE, std::uint16_t pid) {
  Calls.push_back("set pid " + Hex4(pid));
  return Set_Pid_Status;
}

CP210x_STATUS TScripted_Manufacturing::Reset(CP210x_HANDLE) {
  Calls.push_back("reset");
  return CP210x_SUCCESS;
}
