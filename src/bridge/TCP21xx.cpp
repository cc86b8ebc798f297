#include "bridge/TCP21xx.h"

#include <chrono>

using namespace std::chrono_literals;

namespace {
constexpr auto BUSY_WAIT = 100ms;  // one wait of CP_Connect for a port held by another user
constexpr int BUSY_WAITS = 4;      // at most 400 ms in all
}  // namespace

TCP21xx::TCP21xx(TUsbXpress& usb, TClock& clock) : Usb_(usb), Clock_(clock) {}

SI_STATUS TCP21xx::Get_Num_Devices() { return Usb_.Get_Num_Devices(NumDevices); }

SI_STATUS TCP21xx::Get_Product_String(std::uint8_t index) {
  return Usb_.Get_Product_String(index, Product_String, SI_RETURN_DESCRIPTION);
}

SI_STATUS TCP21xx::Open(std::uint8_t index) {
  if (Handle_Open_) Close();
  const SI_STATUS status = Usb_.Open(index, CP_Haldle);
  Handle_Open_ = status == SI_SUCCESS;
  if (Handle_Open_) CP_State = CP_OPEN;
  return status;
}

SI_STATUS TCP21xx::Close() {
  const SI_STATUS status = Usb_.Close(CP_Haldle);
  if (status == SI_SUCCESS) {
    CP_State = CP_CLOSE;
    Handle_Open_ = false;
  }
  return status;
}

SI_STATUS TCP21xx::Set_BautRate() {
  Usb_.Set_Timeouts(TX_Timeout, RX_Timeout);
  return Usb_.Set_Baud_Rate(CP_Haldle, BautRate);
}

// The flush is the only test: an open that failed makes the flush on the invalid handle fail.
bool TCP21xx::Init_CP(std::uint16_t conn_sett) {
  Open(Num);
  Set_BautRate();
  Usb_.Set_Line_Control(CP_Haldle, conn_sett);
  if (Flush_IO_Buffers(1, 1) != SI_SUCCESS) {
    CP_State = CP_CLOSE;
    return false;
  }
  CP_State = CP_OPEN;
  return true;
}

SI_STATUS TCP21xx::Flush_IO_Buffers(std::uint8_t flush_transmit, std::uint8_t flush_receive) {
  return Usb_.Flush_Buffers(CP_Haldle, flush_transmit, flush_receive);
}

SI_STATUS TCP21xx::Read_Chip_Byte(std::uint8_t* dest) {
  std::uint32_t read = 0;
  return Usb_.Read(CP_Haldle, dest, 1, read);
}

SI_STATUS TCP21xx::Send_Chip_Byte(std::uint8_t value) {
  std::uint32_t written = 0;
  return Usb_.Write(CP_Haldle, &value, 1, written);
}

SI_STATUS TCP21xx::Get_Flow_Status() { return Usb_.Get_Modem_Status(CP_Haldle, FlowControl); }

SI_STATUS TCP21xx::Set_DTR(std::uint8_t value) {
  Get_Flow_Status();
  return Usb_.Set_Flow_Control(CP_Haldle, 0, FlowControl & SI_MODEM_RTS, value, 0, 0, 0);
}

SI_STATUS TCP21xx::Set_RTS(std::uint8_t value) {
  Get_Flow_Status();
  return Usb_.Set_Flow_Control(CP_Haldle, 0, value, FlowControl & SI_MODEM_DTR, 0, 0, 0);
}

// Scans every device and keeps the last one that is in USBXpress mode.
bool TCP21xx::CP_Connect() {
  for (int waits = 0; CP_State == CP_BUSY && waits < BUSY_WAITS; ++waits) Clock_.Sleep(BUSY_WAIT);
  bool found = false;
  if (CP_State != CP_BUSY) {
    CP_State = CP_BUSY;
    if (Get_Num_Devices() == SI_SUCCESS && NumDevices > 0) {
      for (std::int32_t index = 0; index < NumDevices; ++index) {
        if (Get_Product_String(static_cast<std::uint8_t>(index)) == SI_SUCCESS &&
            Device_String_Text(Product_String) == USBXPRESS_PRODUCT) {
          CP_State = CP_ENABLED;
          Num = static_cast<std::uint8_t>(index);
          found = true;
        }
      }
    }
  }
  if (CP_State == CP_BUSY) CP_State = CP_CLOSE;
  return found;
}
