// The bridge port: the program's only byte channel to the controller, through a CP210x bridge in
// USBXpress mode. Root of the controller class chain (TCP21xx <- TSTM32 <- TVOK_Yeli).
#pragma once

#include "platform/Bridge_Description.h"
#include "platform/TClock.h"
#include "platform/TUsbXpress.h"

#include <cstdint>

enum TState : std::uint8_t { CP_OPEN, CP_ENABLED, CP_BUSY, CP_CLOSE };

// Line-control words of the two protocols (8 data bits, 1 stop bit).
inline constexpr std::uint16_t LINE_8N1 = 0x0800;  // the parameter protocol
inline constexpr std::uint16_t LINE_8E1 = 0x0820;  // the STM32 ROM bootloader

class TCP21xx {
public:
  TCP21xx(TUsbXpress& usb, TClock& clock);

  SI_STATUS Get_Num_Devices();
  SI_STATUS Get_Product_String(std::uint8_t index);
  SI_STATUS Open(std::uint8_t index);
  SI_STATUS Close();
  SI_STATUS Set_BautRate();
  bool Init_CP(std::uint16_t conn_sett);
  SI_STATUS Flush_IO_Buffers(std::uint8_t flush_transmit, std::uint8_t flush_receive);
  SI_STATUS Read_Chip_Byte(std::uint8_t* dest);
  SI_STATUS Send_Chip_Byte(std::uint8_t value);
  SI_STATUS Get_Flow_Status();
  SI_STATUS Set_DTR(std::uint8_t value);
  SI_STATUS Set_RTS(std::uint8_t value);
  bool CP_Connect();

  // What the user can do about the last failure of the port, if the platform knows (permissions).
  std::string Port_Error() const { return Usb_.Last_Error(); }

  SI_HANDLE CP_Haldle = 0;
  std::int32_t NumDevices = 0;
  SI_DEVICE_STRING Product_String{};
  TState CP_State = CP_CLOSE;
  std::int32_t RX_Timeout = 500;
  std::int32_t TX_Timeout = 500;
  std::int32_t BautRate = 38400;
  std::uint8_t FlowControl = 0;
  std::uint8_t Num = 0;

protected:
  TUsbXpress& Usb_;
  TClock& Clock_;

private:
  // A failed exchange only marks the port closed; the handle is released before the next open.
  bool Handle_Open_ = false;
};
