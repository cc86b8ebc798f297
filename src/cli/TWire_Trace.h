// Shows every byte that crosses the bridge, in hex, and the port's settings and modem lines, on a
// stream: a TUsbXpress that passes every call on to the real one. Bytes in one direction share a
// line until the direction changes or sixteen are shown.
#pragma once

#include "platform/TUsbXpress.h"

#include <mutex>
#include <ostream>
#include <string>

class TWire_Trace final : public TUsbXpress {
public:
  TWire_Trace(TUsbXpress& wire, std::ostream& out) : Wire_(wire), Out_(out) {}
  ~TWire_Trace() override;

  SI_STATUS Get_Num_Devices(std::int32_t& count) override { return Wire_.Get_Num_Devices(count); }
  SI_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override {
    return Wire_.Get_Product_String(index, text, option);
  }
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
  SI_STATUS Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) override {
    return Wire_.Get_Modem_Status(handle, status);
  }
  std::string Last_Error() const override { return Wire_.Last_Error(); }

private:
  // With the mutex held: the firmware writer's worker calls from its own thread.
  void Bytes(char direction, const std::uint8_t* bytes, std::uint32_t count);
  void Event(const std::string& text, SI_STATUS status);
  void End_Run();

  TUsbXpress& Wire_;
  std::ostream& Out_;
  std::mutex Mutex_;
  std::uint32_t Read_Timeout_ms_ = 0;
  char Run_Direction_ = 0;  // '>' to the device, '<' from it; 0: no run open
  unsigned Run_Length_ = 0;
};
