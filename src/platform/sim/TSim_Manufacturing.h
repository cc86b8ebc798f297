// The CP210x manufacturing library over a bus of virtual boards: it lists the bridges bound to
// either driver, in attach order, and rewrites and resets them.
#pragma once

#include "platform/TManufacturing.h"
#include "platform/sim/TSim_Handles.h"

class TSim_Bus;

class TSim_Manufacturing final : public TManufacturing {
public:
  explicit TSim_Manufacturing(TSim_Bus& bus);

  CP210x_STATUS Get_Num_Devices(std::uint32_t& count) override;
  CP210x_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override;
  CP210x_STATUS Open(std::uint32_t index, CP210x_HANDLE& handle) override;
  CP210x_STATUS Close(CP210x_HANDLE handle) override;
  CP210x_STATUS Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) override;
  CP210x_STATUS Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) override;
  CP210x_STATUS Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) override;
  // The bridge leaves the bus at once and is listed again after SIM_REENUMERATION_TIME.
  CP210x_STATUS Reset(CP210x_HANDLE handle) override;
  // A virtual board asks nothing of the user.
  std::string Last_Error() const override { return {}; }

private:
  std::optional<TSim_Bridge_Identity> Identity_Of(CP210x_HANDLE handle, CP210x_STATUS& status);

  TSim_Bus& Bus_;
  TSim_Handles Handles_;
};
