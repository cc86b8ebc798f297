#include "cli/TWire_Trace.h"

#include "platform/Hex_Text.h"


namespace {
constexpr unsigned BYTES_PER_LINE = 16;
constexpr const char* PREFIX = "wire: ";

// 8N1, 8E1, 7O2, 8N1.5 ...: the line-control word as its data bits, parity and stop bits.
std::string Line_Format(std::uint16_t line_control) {
  static constexpr const char* PARITY = "NOEMS";
  static constexpr const char* STOP_BITS[] = {"1", "1.5", "2"};
  const unsigned parity = (line_control >> 4) & 0x0F;
  const unsigned stop = line_control & 0x0F;
  return std::to_string(line_control >> 8) + (parity < 5 ? PARITY[parity] : '?') + (stop < 3 ? STOP_BITS[stop] : "?");
}
}  // namespace

TWire_Trace::~TWire_Trace() {
  std::lock_guard lock(Mutex_);
  End_Run();
}

void TWire_Trace::End_Run() {
  if (Run_Direction_) Out_ << '\n';
  Run_Direction_ = 0;
  Run_Length_ = 0;
}

void TWire_Trace::Bytes(char direction, const std::uint8_t* bytes, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (Run_Direction_ != direction || Run_Length_ == BYTES_PER_LINE) {
      End_Run();
      Out_ << PREFIX << direction;
      Run_Direction_ = direction;
    }
    Out_ << ' ' << Hex_Text(bytes[i], 2);
    ++Run_Length_;
  }
}

void TWire_Trace::Event(const std::string& text, SI_STATUS status) {
  End_Run();
  Out_ << PREFIX << text;
  if (status != SI_SUCCESS) Out_ << " failed (status " << unsigned{status} << ")";
  Out_ << '\n';
}

SI_STATUS TWire_Trace::Open(std::uint32_t index, SI_HANDLE& handle) {
  const SI_STATUS status = Wire_.Open(index, handle);
  std::lock_guard lock(Mutex_);
  Event("open device " + std::to_string(index), status);
  return status;
}

SI_STATUS TWire_Trace::Close(SI_HANDLE handle) {
  const SI_STATUS status = Wire_.Close(handle);
  std::lock_guard lock(Mutex_);
  Event("close", status);
  return status;
}

SI_STATUS TWire_Trace::Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) {
  const SI_STATUS status = Wire_.Read(handle, dest, count, read);
  std::lock_guard lock(Mutex_);
  if (read > 0)
    Bytes('<', dest, read);
  else
    Event("< nothing within " + std::to_string(Read_Timeout_ms_) + " ms", SI_SUCCESS);
  return status;
}

SI_STATUS TWire_Trace::Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count, std::uint32_t& written) {
  const SI_STATUS status = Wire_.Write(handle, src, count, written);
  std::lock_guard lock(Mutex_);
  if (status == SI_SUCCESS)
    Bytes('>', src, written);
  else
    Event("> " + std::to_string(count) + " bytes", status);
  return status;
}

SI_STATUS TWire_Trace::Flush_Buffers(SI_HANDLE handle, std::uint8_t flush_transmit, std::uint8_t flush_receive) {
  const SI_STATUS status = Wire_.Flush_Buffers(handle, flush_transmit, flush_receive);
  std::lock_guard lock(Mutex_);
  Event("flush", status);
  return status;
}

SI_STATUS TWire_Trace::Set_Timeouts(std::uint32_t read_timeout_ms, std::uint32_t write_timeout_ms) {
  std::lock_guard lock(Mutex_);
  Read_Timeout_ms_ = read_timeout_ms;
  return Wire_.Set_Timeouts(read_timeout_ms, write_timeout_ms);
}

SI_STATUS TWire_Trace::Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) {
  const SI_STATUS status = Wire_.Set_Baud_Rate(handle, baud);
  std::lock_guard lock(Mutex_);
  Event(std::to_string(baud) + " baud", status);
  return status;
}

SI_STATUS TWire_Trace::Set_Line_Control(SI_HANDLE handle, std::uint16_t line_control) {
  const SI_STATUS status = Wire_.Set_Line_Control(handle, line_control);
  std::lock_guard lock(Mutex_);
  Event(Line_Format(line_control), status);
  return status;
}

SI_STATUS TWire_Trace::Set_Flow_Control(SI_HANDLE handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr,
                                        std::uint8_t dsr, std::uint8_t dcd, std::uint8_t xon_xoff) {
  const SI_STATUS status = Wire_.Set_Flow_Control(handle, cts, rts, dtr, dsr, dcd, xon_xoff);
  std::lock_guard lock(Mutex_);
  Event(std::string("RTS ") + (rts ? "on" : "off") + ", DTR " + (dtr ? "on" : "off"), status);
  return status;
}
