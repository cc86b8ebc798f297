// The USBXpress library over a bus of virtual boards: it lists the bridges bound to the USBXpress
// driver, in attach order, and reads with the time-out of ordinal 10 on the bus's clock.
#pragma once

#include "platform/TUsbXpress.h"
#include "platform/sim/TSim_Handles.h"

#include <atomic>

class TSim_Bus;

// The library's time-outs until the program sets its own.
inline constexpr std::uint32_t SIM_DEFAULT_TIMEOUT_MS = 1000;

class TSim_UsbXpress final : public TUsbXpress {
public:
  explicit TSim_UsbXpress(TSim_Bus& bus);

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
  // A virtual board asks nothing of the user.
  std::string Last_Error() const override { return {}; }

private:
  TSim_Bus& Bus_;
  TSim_Handles Handles_;
  std::atomic<std::uint32_t> Read_Timeout_Ms_{SIM_DEFAULT_TIMEOUT_MS};
};
