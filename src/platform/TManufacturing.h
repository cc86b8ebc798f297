// The bridge's identity in either driver mode: count, product string, vendor and product id, part
// number, rewriting the product id and resetting the bridge. Status 0 is success.
#pragma once

#include "platform/Device_String.h"

#include <cstdint>
#include <string>

using CP210x_STATUS = std::uint8_t;
using CP210x_HANDLE = std::uintptr_t;

inline constexpr CP210x_STATUS CP210x_SUCCESS = 0x00;
inline constexpr CP210x_STATUS CP210x_INVALID_HANDLE = 0x01;
inline constexpr CP210x_STATUS CP210x_INVALID_PARAMETER = 0x02;
inline constexpr CP210x_STATUS CP210x_DEVICE_IO_FAILED = 0x03;
inline constexpr CP210x_STATUS CP210x_FUNCTION_NOT_SUPPORTED = 0x04;
inline constexpr CP210x_STATUS CP210x_DEVICE_NOT_FOUND = 0xFF;

class TManufacturing {
public:
  virtual ~TManufacturing() = default;

  virtual CP210x_STATUS Get_Num_Devices(std::uint32_t& count) = 0;
  virtual CP210x_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) = 0;
  virtual CP210x_STATUS Open(std::uint32_t index, CP210x_HANDLE& handle) = 0;
  virtual CP210x_STATUS Close(CP210x_HANDLE handle) = 0;
  virtual CP210x_STATUS Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) = 0;
  virtual CP210x_STATUS Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) = 0;
  // The CP210x part number (CP210x_PART_* of platform/CP210x_Part.h).
  virtual CP210x_STATUS Get_Part_Number(CP210x_HANDLE handle, std::uint8_t& part) = 0;
  // Writes the product id into the bridge's configuration memory; it takes effect at the next
  // enumeration.
  virtual CP210x_STATUS Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) = 0;
  // The bridge leaves the bus and enumerates again with the identity it holds.
  virtual CP210x_STATUS Reset(CP210x_HANDLE handle) = 0;

  // As TUsbXpress::Last_Error.
  virtual std::string Last_Error() const = 0;
};
