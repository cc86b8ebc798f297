#include "support/TScripted_UsbXpress.h"

namespace {
constexpr SI_HANDLE SCRIPTED_HANDLE = 0x5A;
}

SI_STATUS TScripted_UsbXpress::Get_Num_Devices(std::int32_t& count) {
  Calls.push_back("count");
  if (Count_Status == SI_SUCCESS) count = static_cast<std::int32_t>(Products.size());
  return Count_Status;
}

SI_STATUS TScripted_UsbXpress::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) {
  Calls.push_back("product " + std::to_string(index) + " option " + std::to_string(option));
  if (index < Product_Statuses.size() && Product_Statuses[index] != SI_SUCCESS) return Product_Statuses[index];
  if (index >= Products.size()) return SI_DEVICE_NOT_FOUND;
  Set_Device_String(text, Products[index]);
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Open(std::uint32_t index, SI_HANDLE& handle) {
  Calls.push_back("open " + std::to_string(index));
  if (Open_Status == SI_SUCCESS) handle = SCRIPTED_HANDLE;
  return Open_Status;
}

SI_STATUS TScripted_UsbXpress::Close(SI_HANDLE) {
  Calls.push_back("close");
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Read(SI_HANDLE, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) {
  Calls.push_back("read " + std::to_string(count));
  read = 0;
  if (Answers.empty()) return SI_READ_TIMED_OUT;
  *dest = Answers.front();
  Answers.pop_front();
  Received.push_back({Sent.size(), *dest});
  read = 1;
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Write(SI_HANDLE, const std::uint8_t* src, std::uint32_t count, std::uint32_t& written) {
  Calls.push_back("write " + std::to_string(count));
  written = 0;
  if (Sent.size() + count > Writes_Before_Failure) return SI_WRITE_ERROR;
  Sent.insert(Sent.end(), src, src + count);
  written = count;
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Flush_Buffers(SI_HANDLE, std::uint8_t flush_transmit, std::uint8_t flush_receive) {
  Calls.push_back("flush " + std::to_string(flush_transmit) + " " + std::to_string(flush_receive));
  return Flush_Status;
}

SI_STATUS TScripted_UsbXpress::Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t write_timeout_ms) {
  Calls.push_back("timeouts " + std::to_string(read_timeout_ms) + " " + std::to_string(write_timeout_ms));
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Set_Baud_Rate(SI_HANDLE, std::uint32_t baud) {
  Calls.push_back("baud " + std::to_string(baud));
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Set_Line_Control(SI_HANDLE, std::uint16_t line_control) {
  Calls.push_back("line " + std::to_string(line_control));
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Set_Flow_Control(SI_HANDLE, std::uint8_t, std::uint8_t rts, std::uint8_t dtr,
                                                std::uint8_t, std::uint8_t, std::uint8_t) {
  Calls.push_back("flow rts=" + std::to_string(rts) + " dtr=" + std::to_string(dtr));
  Lines = static_cast<std::uint8_t>((dtr ? SI_MODEM_DTR : 0) | (rts ? SI_MODEM_RTS : 0));
  return SI_SUCCESS;
}

SI_STATUS TScripted_UsbXpress::Get_Modem_Status(SI_HANDLE, std::uint8_t& status) {
  Calls.push_back("modem");
  status = Lines;
  return SI_SUCCESS;
}
