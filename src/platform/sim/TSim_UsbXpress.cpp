#include "platform/sim/TSim_UsbXpress.h"

#include "platform/sim/TSim_Bus.h"

#include <algorithm>
#include <chrono>

namespace {
SI_STATUS Status_Of(TSim_Result result) {
  switch (result) {
    case SIM_RESULT_OK: return SI_SUCCESS;
    case SIM_RESULT_BAD_PARAMETER: return SI_INVALID_PARAMETER;
    case SIM_RESULT_GONE: break;
  }
  return SI_DEVICE_IO_FAILED;
}
}  // namespace

TSim_UsbXpress::TSim_UsbXpress(TSim_Bus& bus) : Bus_(bus) {}

SI_STATUS TSim_UsbXpress::Get_Num_Devices(std::int32_t& count) {
  count = static_cast<std::int32_t>(Bus_.Listed_Count(SIM_VIEW_USBXPRESS));
  return SI_SUCCESS;
}

SI_STATUS TSim_UsbXpress::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) {
  if (option != SI_RETURN_DESCRIPTION) return SI_INVALID_PARAMETER;
  TSim_Board* board = Bus_.Listed_Board(SIM_VIEW_USBXPRESS, index);
  if (!board) return SI_DEVICE_NOT_FOUND;
  Set_Device_String(text, board->Identity().Product);
  return SI_SUCCESS;
}

SI_STATUS TSim_UsbXpress::Open(std::uint32_t index, SI_HANDLE& handle) {
  TSim_Board* board = Bus_.Listed_Board(SIM_VIEW_USBXPRESS, index);
  const std::optional<TSim_Session> session = board ? board->Open(SIM_VIEW_USBXPRESS) : std::nullopt;
  if (!session) return SI_DEVICE_NOT_FOUND;
  handle = Handles_.Add({board, *session});
  return SI_SUCCESS;
}

// The handle is gone afterwards, even when its device had already left.
SI_STATUS TSim_UsbXpress::Close(SI_HANDLE handle) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  Handles_.Remove(handle);
  return Status_Of(link->Board->Close(link->Session));
}

// Sleeps on the clock, never holding the board's lock, until the bytes have arrived or the
// time-out has passed.
SI_STATUS TSim_UsbXpress::Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) {
  read = 0;
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  TClock& clock = Bus_.Clock();
  const TDuration deadline = clock.Now() + std::chrono::milliseconds(Read_Timeout_Ms_.load());
  for (;;) {
    const TSim_Take take = link->Board->Take(link->Session, dest + read, count - read);
    if (take.Result != SIM_RESULT_OK) return Status_Of(take.Result);
    read += take.Count;
    if (read == count) return SI_SUCCESS;
    if (clock.Now() >= deadline) return SI_READ_TIMED_OUT;
    clock.Sleep_Until(std::min(take.Next_Event, deadline));
  }
}

// The bytes leave one after another; the call does not wait for them.
SI_STATUS TSim_UsbXpress::Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count,
                                std::uint32_t& written) {
  written = 0;
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  const SI_STATUS status = Status_Of(link->Board->Write(link->Session, {src, count}));
  if (status == SI_SUCCESS) written = count;
  return status;
}

SI_STATUS TSim_UsbXpress::Flush_Buffers(SI_HANDLE handle, std::uint8_t flush_transmit, std::uint8_t flush_receive) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  return Status_Of(link->Board->Flush(link->Session, flush_transmit != 0, flush_receive != 0));
}

// The write time-out has nothing to wait for: writes never block.
SI_STATUS TSim_UsbXpress::Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t) {
  Read_Timeout_Ms_ = read_timeout_ms;
  return SI_SUCCESS;
}

SI_STATUS TSim_UsbXpress::Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  return Status_Of(link->Board->Set_Baud_Rate(link->Session, baud));
}

SI_STATUS TSim_UsbXpress::Set_Line_Control(SI_HANDLE handle, std::uint16_t line_control) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  return Status_Of(link->Board->Set_Line_Control(link->Session, line_control));
}

// Any non-zero setting asserts its line; the flow-control settings have no wires on this board.
SI_STATUS TSim_UsbXpress::Set_Flow_Control(SI_HANDLE handle, std::uint8_t, std::uint8_t rts, std::uint8_t dtr,
                                           std::uint8_t, std::uint8_t, std::uint8_t) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  return Status_Of(link->Board->Set_Lines(link->Session, {dtr != 0, rts != 0}));
}

SI_STATUS TSim_UsbXpress::Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) {
  const std::optional<TSim_Link> link = Handles_.Find(handle);
  if (!link) return SI_INVALID_HANDLE;
  const std::optional<TSim_Lines> lines = link->Board->Modem_Status(link->Session);
  if (!lines) return SI_DEVICE_IO_FAILED;
  status = (lines->Dtr ? SI_MODEM_DTR : 0) | (lines->Rts ? SI_MODEM_RTS : 0);
  return SI_SUCCESS;
}
