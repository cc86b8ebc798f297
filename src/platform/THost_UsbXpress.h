// The USBXpress library's view of a host's bridges: every CP210x bridge, whatever its product id,
// named as the library names it, as a byte channel over its kept tty. One caller at a time.
#pragma once

#include "platform/TBridge_Ports.h"
#include "platform/TUsbXpress.h"

#include <map>

class THost_UsbXpress final : public TUsbXpress {
public:
  explicit THost_UsbXpress(TBridge_Ports& ports) : Ports_(ports) {}

  SI_STATUS Get_Num_Devices(std::int32_t& count) override;
  SI_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override;
  SI_STATUS Open(std::uint32_t index, SI_HANDLE& handle) override;
  SI_STATUS Close(SI_HANDLE handle) override;
  SI_STATUS Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) override;
  SI_STATUS Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count, std::uint32_t& written) override;
  SI_STATUS Flush_Buffers(SI_HANDLE handle, std::uint8_t flush_transmit, std::uint8_t flush_receive) override;
  SI_STATUS Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t write_timeout_ms) override;
  SI_STATUS Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) override;
  SI_STATUS Set_Line_Control(SI_HANDLE handle, std::uint16_t line_control) override;
  SI_STATUS Set_Flow_Control(SI_HANDLE handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr, std::uint8_t dsr,
                             std::uint8_t dcd, std::uint8_t xon_xoff) override;
  SI_STATUS Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) override;
  // Set by every call that reaches a device; a call refused for its handle leaves it.
  std::string Last_Error() const override { return Last_Error_; }

private:
  // `action` on the handle's tty, or the status of a handle that is unknown or whose bridge has left.
  template <class TAction>
  SI_STATUS On_Port(SI_HANDLE handle, TAction action);
  // Records the cause of a failure with `error`, and lets go of a bridge that has left.
  SI_STATUS Fail(const TBridge& bridge, int error, SI_STATUS status);
  SI_STATUS Check(SI_HANDLE handle, int error, SI_STATUS status);
  // A format the tty does not offer is a bad parameter, anything else a failure of the device.
  SI_STATUS Format_Status(SI_HANDLE handle, int error);

  TBridge_Ports& Ports_;
  std::map<SI_HANDLE, TBridge> Handles_;
  SI_HANDLE Next_Handle_ = 1;
  int Read_Timeout_Ms_ = 500;
  int Write_Timeout_Ms_ = 500;
  std::string Last_Error_;
};
