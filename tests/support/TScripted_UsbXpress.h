// A USBXpress library whose devices, statuses and answer bytes a test sets, and which records
// every call in order. For tests that need byte-exact control; the virtual board is the model of
// the real hardware for everything else.
#pragma once

#include "platform/TUsbXpress.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

class TScripted_UsbXpress final : public TUsbXpress {
public:
  std::vector<std::string> Products;          // product strings of the attached devices
  SI_STATUS Count_Status = SI_SUCCESS;
  std::vector<SI_STATUS> Product_Statuses;    // per index; missing entries succeed
  SI_STATUS Open_Status = SI_SUCCESS;
  SI_STATUS Flush_Status = SI_SUCCESS;        // SI_INVALID_HANDLE after a failed open
  std::deque<std::uint8_t> Answers;           // bytes the next reads deliver, one per read
  std::vector<std::uint8_t> Sent;             // every byte written
  // Every byte a read delivered, with how many bytes had been written then.
  std::vector<std::pair<std::size_t, std::uint8_t>> Received;
  std::size_t Writes_Before_Failure = SIZE_MAX;  // bytes written before every later write fails
  std::uint8_t Lines = 0;                     // SI_MODEM_DTR | SI_MODEM_RTS as last set
  std::vector<std::string> Calls;             // "open 0", "flow rts=2 dtr=1", ...

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
  std::string Last_Error() const override { return {}; }
};
