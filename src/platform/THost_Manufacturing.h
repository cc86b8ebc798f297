// The CP210x manufacturing library's view of a host's bridges: identity from the listing, the part
// number, the product id and the reset through the USB device. One caller at a time.
#pragma once

#include "platform/TBridge_Ports.h"
#include "platform/TManufacturing.h"

#include <map>

class THost_Manufacturing final : public TManufacturing {
public:
  explicit THost_Manufacturing(TBridge_Ports& ports) : Ports_(ports) {}

  CP210x_STATUS Get_Num_Devices(std::uint32_t& count) override;
  CP210x_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override;
  CP210x_STATUS Open(std::uint32_t index, CP210x_HANDLE& handle) override;
  CP210x_STATUS Close(CP210x_HANDLE handle) override;
  CP210x_STATUS Get_Device_Vid(CP210x_HANDLE handle, std::uint16_t& vid) override;
  CP210x_STATUS Get_Device_Pid(CP210x_HANDLE handle, std::uint16_t& pid) override;
  CP210x_STATUS Get_Part_Number(CP210x_HANDLE handle, std::uint8_t& part) override;
  CP210x_STATUS Set_Pid(CP210x_HANDLE handle, std::uint16_t pid) override;
  CP210x_STATUS Reset(CP210x_HANDLE handle) override;
  // Set by every call that reaches a device; a call refused for its handle leaves it.
  std::string Last_Error() const override { return Last_Error_; }

private:
  const TBridge* Bridge_Of(CP210x_HANDLE handle) const;
  // The status of a request's errno value, recording its cause.
  CP210x_STATUS Usb_Status(const TBridge& bridge, int error);
  CP210x_STATUS Refused(const TBridge& bridge, const std::string& why);

  TBridge_Ports& Ports_;
  // Opening only notes the bridge: reading its identity needs no access to the USB device.
  std::map<CP210x_HANDLE, TBridge> Handles_;
  CP210x_HANDLE Next_Handle_ = 1;
  std::string Last_Error_;
};
