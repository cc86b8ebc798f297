// The byte channel to a bridge in USBXpress mode: one operation per ordinal of the USBXpress
// library that the program uses. Status 0 is success; no other value is told apart.
#pragma once

#include "platform/Device_String.h"

#include <cstdint>
#include <string>

using SI_STATUS = std::uint8_t;
using SI_HANDLE = std::uintptr_t;

inline constexpr SI_STATUS SI_SUCCESS = 0x00;
inline constexpr SI_STATUS SI_INVALID_HANDLE = 0x01;
inline constexpr SI_STATUS SI_READ_ERROR = 0x02;
inline constexpr SI_STATUS SI_WRITE_ERROR = 0x04;
inline constexpr SI_STATUS SI_INVALID_PARAMETER = 0x06;
inline constexpr SI_STATUS SI_DEVICE_IO_FAILED = 0x08;
inline constexpr SI_STATUS SI_FUNCTION_NOT_SUPPORTED = 0x0A;
inline constexpr SI_STATUS SI_READ_TIMED_OUT = 0x0D;
inline constexpr SI_STATUS SI_DEVICE_NOT_FOUND = 0xFF;

// Bits of the modem status (ordinal 17).
inline constexpr std::uint8_t SI_MODEM_DTR = 0x01;
inline constexpr std::uint8_t SI_MODEM_RTS = 0x02;

class TUsbXpress {
public:
  virtual ~TUsbXpress() = default;

  // 1: count the attached devices.
  virtual SI_STATUS Get_Num_Devices(std::int32_t& count) = 0;
  // 2: product string of device `index` (option 1: the product description).
  virtual SI_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) = 0;
  // 3: open device `index`.
  virtual SI_STATUS Open(std::uint32_t index, SI_HANDLE& handle) = 0;
  // 4: close.
  virtual SI_STATUS Close(SI_HANDLE handle) = 0;
  // 6: read up to `count` bytes within the read time-out. When nothing arrives: a status other
  // than 0, `read` = 0 and `dest` untouched.
  virtual SI_STATUS Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) = 0;
  // 7: write `count` bytes within the write time-out.
  virtual SI_STATUS Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count,
                          std::uint32_t& written) = 0;
  // 9: flush the transmit and/or receive buffer.
  virtual SI_STATUS Flush_Buffers(SI_HANDLE handle, std::uint8_t flush_transmit, std::uint8_t flush_receive) = 0;
  // 10: time-outs of every later read and write, in milliseconds; no handle.
  virtual SI_STATUS Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t write_timeout_ms) = 0;
  // 13: baud rate.
  virtual SI_STATUS Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) = 0;
  // 15: line control: data bits in the high byte, parity in bits 4-7 (0 none, 1 odd, 2 even,
  // 3 mark, 4 space), stop bits in bits 0-3 (0 one, 1 one and a half, 2 two).
  virtual SI_STATUS Set_Line_Control(SI_HANDLE handle, std::uint16_t line_control) = 0;
  // 16: modem-line and flow-control settings. A non-zero RTS or DTR setting asserts the line.
  virtual SI_STATUS Set_Flow_Control(SI_HANDLE handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr,
                                     std::uint8_t dsr, std::uint8_t dcd, std::uint8_t xon_xoff) = 0;
  // 17: modem status: SI_MODEM_DTR and SI_MODEM_RTS give the current output states.
  virtual SI_STATUS Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) = 0;

  // What the user can do about the last failed call (a device they may not open, say), naming the
  // device; empty when there is nothing to add to the program's own message.
  virtual std::string Last_Error() const = 0;
};
