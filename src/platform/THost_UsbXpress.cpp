#include "platform/THost_UsbXpress.h"

#include "platform/Bridge_Description.h"
#include "platform/Failure_Line.h"

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {
int Milliseconds(std::uint32_t value) { return static_cast<int>(std::min<std::uint32_t>(value, INT_MAX)); }
}  // namespace

template <class TAction>
SI_STATUS THost_UsbXpress::On_Port(SI_HANDLE handle, TAction action) {
  const auto found = Handles_.find(handle);
  if (found == Handles_.end()) return SI_INVALID_HANDLE;
  Last_Error_.clear();
  TTty* port = Ports_.Attached(found->second.Key);
  return port ? action(*port) : Fail(found->second, ENODEV, SI_DEVICE_NOT_FOUND);
}

SI_STATUS THost_UsbXpress::Get_Num_Devices(std::int32_t& count) {
  Last_Error_.clear();
  const bool listed = Ports_.Refresh();
  count = static_cast<std::int32_t>(Ports_.Count());
  return listed ? SI_SUCCESS : SI_DEVICE_IO_FAILED;
}

SI_STATUS THost_UsbXpress::Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) {
  Last_Error_.clear();
  if (option != SI_RETURN_DESCRIPTION) return SI_INVALID_PARAMETER;
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return SI_DEVICE_NOT_FOUND;
  Set_Device_String(text, Bridge_Description(*bridge));
  return SI_SUCCESS;
}

// A bridge that is open already keeps its handle.
SI_STATUS THost_UsbXpress::Open(std::uint32_t index, SI_HANDLE& handle) {
  Last_Error_.clear();
  const TBridge* bridge = Ports_.Find(index);
  if (!bridge) return SI_DEVICE_NOT_FOUND;
  const auto open = std::find_if(Handles_.begin(), Handles_.end(),
                                 [&](const auto& entry) { return entry.second.Key == bridge->Key; });
  if (open != Handles_.end()) {
    handle = open->first;
    return SI_SUCCESS;
  }
  int error = 0;
  if (!Ports_.Attach(*bridge, error)) {
    return Fail(*bridge, error, Device_Gone(error) ? SI_DEVICE_NOT_FOUND : SI_DEVICE_IO_FAILED);
  }
  handle = Next_Handle_++;
  Handles_.emplace(handle, *bridge);
  return SI_SUCCESS;
}

// The tty stays open for the next open.
SI_STATUS THost_UsbXpress::Close(SI_HANDLE handle) {
  return Handles_.erase(handle) != 0 ? SI_SUCCESS : SI_INVALID_HANDLE;
}

SI_STATUS THost_UsbXpress::Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) {
  read = 0;
  return On_Port(handle, [&](TTty& port) {
    if (!dest || count == 0) return SI_INVALID_PARAMETER;
    const TTransfer transfer = port.Read(dest, count, Read_Timeout_Ms_);
    read = static_cast<std::uint32_t>(transfer.Count);
    if (transfer.Outcome == TRANSFER_DONE) return SI_SUCCESS;
    if (transfer.Outcome == TRANSFER_TIMED_OUT) return SI_READ_TIMED_OUT;
    return Fail(Handles_.at(handle), transfer.Error, SI_READ_ERROR);
  });
}

SI_STATUS THost_UsbXpress::Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count,
                                  std::uint32_t& written) {
  written = 0;
  return On_Port(handle, [&](TTty& port) {
    if (!src || count == 0) return SI_INVALID_PARAMETER;
    const TTransfer transfer = port.Write(src, count, Write_Timeout_Ms_);
    written = static_cast<std::uint32_t>(transfer.Count);
    if (transfer.Outcome == TRANSFER_DONE) return SI_SUCCESS;
    return Fail(Handles_.at(handle), transfer.Error, SI_WRITE_ERROR);
  });
}

SI_STATUS THost_UsbXpress::Flush_Buffers(SI_HANDLE handle, std::uint8_t flush_transmit, std::uint8_t flush_receive) {
  return On_Port(handle, [&](TTty& port) {
    return Check(handle, port.Flush(flush_transmit != 0, flush_receive != 0), SI_DEVICE_IO_FAILED);
  });
}

SI_STATUS THost_UsbXpress::Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t write_timeout_ms) {
  Read_Timeout_Ms_ = Milliseconds(read_timeout_ms);
  Write_Timeout_Ms_ = Milliseconds(write_timeout_ms);
  return SI_SUCCESS;
}

SI_STATUS THost_UsbXpress::Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) {
  return On_Port(handle, [&](TTty& port) { return Format_Status(handle, port.Set_Baud_Rate(baud)); });
}

SI_STATUS THost_UsbXpress::Set_Line_Control(SI_HANDLE handle, std::uint16_t line_control) {
  return On_Port(handle, [&](TTty& port) { return Format_Status(handle, port.Set_Line_Control(line_control)); });
}

// Only the two output lines; handshaking is never used, so asking for it is refused.
SI_STATUS THost_UsbXpress::Set_Flow_Control(SI_HANDLE handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr,
                                             std::uint8_t dsr, std::uint8_t dcd, std::uint8_t xon_xoff) {
  return On_Port(handle, [&](TTty& port) {
    if (cts != 0 || dsr != 0 || dcd != 0 || xon_xoff != 0) return SI_FUNCTION_NOT_SUPPORTED;
    const int asserted = (rts != 0 ? TTY_RTS : 0) | (dtr != 0 ? TTY_DTR : 0);
    const int released = (rts == 0 ? TTY_RTS : 0) | (dtr == 0 ? TTY_DTR : 0);
    return Check(handle, port.Set_Lines(asserted, released), SI_DEVICE_IO_FAILED);
  });
}

SI_STATUS THost_UsbXpress::Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) {
  return On_Port(handle, [&](TTty& port) {
    int lines = 0;
    if (const SI_STATUS read = Check(handle, port.Get_Lines(lines), SI_DEVICE_IO_FAILED); read != SI_SUCCESS)
      return read;
    status = ((lines & TTY_DTR) ? SI_MODEM_DTR : 0) | ((lines & TTY_RTS) ? SI_MODEM_RTS : 0);
    return SI_SUCCESS;
  });
}

SI_STATUS THost_UsbXpress::Fail(const TBridge& bridge, int error, SI_STATUS status) {
  Last_Error_ = Failure_Line(Bridge_Name(bridge), error);
  if (Device_Gone(error)) Ports_.Release(bridge.Key);
  return status;
}

SI_STATUS THost_UsbXpress::Check(SI_HANDLE handle, int error, SI_STATUS status) {
  return error == 0 ? SI_SUCCESS : Fail(Handles_.at(handle), error, status);
}

SI_STATUS THost_UsbXpress::Format_Status(SI_HANDLE handle, int error) {
  return error == EINVAL ? SI_INVALID_PARAMETER : Check(handle, error, SI_DEVICE_IO_FAILED);
}
