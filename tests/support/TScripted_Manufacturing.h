// A manufacturing library whose devices and statuses a test sets, recording every call in order.
#pragma once

#include "platform/TManufacturing.h"

#include <string>
#include <vector>

class TScripted_Manufacturing final : public TManufacturing {
public:
  struct TDevice {
    std::string Product;
    std::uint16_t Vid = 0x10C4;
    std::uint16_t Pid = 0xEA60;
    std::uint8_t Part = 0x02;  // a CP2102
  };
  std::vector<TDevice> Devices;
  CP210x_STATUS Count_Status = CP210x_SUCCESS;
  CP210x_STATUS Product_Status = CP210x_SUCCESS;
  CP210x_STATUS Set_Pid_Status = CP210x_SUCCESS;
  std::string Error_Text;  // what Last_Error says
  std::vector<std::string> Calls;

  CP210x_STATUS Get_Num_Devices(std::uint32_t& count) override;
  CP210x_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override;
  CP210x_STATUS Open(std::uint32_t index, CP210x_HANDLE& handle) override;
  CP210x_STATUS Close(CP210x_HANDLE handle) override;
  CP210x_STATUS Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) override;
  CP210x_STATUS Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) override;
  CP210x_STATUS Get_Part_Number(CP210x_HANDLE handle, std::uint8_t& part) override;
  CP210x_STATUS Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) override;
  CP210x_STATUS Reset(CP210x_HANDLE handle) override;
  std::string Last_Error() const override { return Error_Text; }
};
