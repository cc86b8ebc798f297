// The host side of TSim_Board: what the host's kernel and yeli-sim do to the bridge. Every call on a
// session fails with SIM_RESULT_GONE once that session has ended.
#include "platform/sim/TSim_Board.h"

#include <algorithm>
#include <cerrno>

std::optional<TSim_Session> TSim_Board::Open(TSim_View view) {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Listed_By(view)) return std::nullopt;
  const std::optional<TSim_Session> session = Bridge_.Open();
  Drive_Lines({true, true}, now);
  return session;
}

TSim_Result TSim_Board::Close(const TSim_Session& session) {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  if (Bridge_.Close(session)) Drive_Lines({}, now);
  return SIM_RESULT_OK;
}

TSim_Result TSim_Board::Write(const TSim_Session& session, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  for (std::uint8_t byte : bytes)
    if (const auto arriving = On_The_Wire(SIM_TO_BOARD, byte)) To_Board_.Send(*arriving, Bridge_.Format(), now);
  return SIM_RESULT_OK;
}

TSim_Take TSim_Board::Take(const TSim_Session& session, std::uint8_t* dest, std::uint32_t max) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  if (!Bridge_.Valid(session)) return {SIM_RESULT_GONE, 0, TDuration::max(), TDuration::max()};
  const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(max, Bridge_.Received.size()));
  std::copy_n(Bridge_.Received.begin(), count, dest);
  Bridge_.Received.erase(Bridge_.Received.begin(), Bridge_.Received.begin() + count);
  return {SIM_RESULT_OK, count, Next_Event(), Rest_Due(max - count)};
}

// Transmit: what has not left the bridge never goes. Receive: what has arrived is dropped; bytes
// still on the wire arrive later.
TSim_Result TSim_Board::Flush(const TSim_Session& session, bool transmit, bool receive) {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  if (transmit) To_Board_.Drop_Unsent(now);
  if (receive) Bridge_.Received.clear();
  return SIM_RESULT_OK;
}

TSim_Result TSim_Board::Set_Baud_Rate(const TSim_Session& session, std::uint32_t baud) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  return Bridge_.Set_Baud_Rate(baud) ? SIM_RESULT_OK : SIM_RESULT_BAD_PARAMETER;
}

TSim_Result TSim_Board::Set_Line_Control(const TSim_Session& session, std::uint16_t line_control) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  return Bridge_.Set_Line_Control(line_control) ? SIM_RESULT_OK : SIM_RESULT_BAD_PARAMETER;
}

TSim_Result TSim_Board::Set_Lines(const TSim_Session& session, TSim_Lines lines) {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Valid(session)) return SIM_RESULT_GONE;
  Drive_Lines(lines, now);
  return SIM_RESULT_OK;
}

std::optional<TSim_Lines> TSim_Board::Modem_Status(const TSim_Session& session) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  if (!Bridge_.Valid(session)) return std::nullopt;
  return Bridge_.Lines;
}

TSim_Usb_State TSim_Board::Usb_State() {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  return {Bridge_.Present(), Bridge_.Enumeration(), Bridge_.Identity()};
}

int TSim_Board::Control(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                        std::span<std::uint8_t> data, std::size_t& transferred) {
  std::lock_guard lock(Mutex_);
  Catch_Up();
  transferred = 0;
  if (!Bridge_.Present()) return ENODEV;
  const int error = Bridge_.Config.Control(request_type, request, value, index, data, transferred);
  Persist_If_Changed();
  return error;
}

int TSim_Board::Reset_Port() {
  std::lock_guard lock(Mutex_);
  const TDuration now = Catch_Up();
  if (!Bridge_.Present()) return ENODEV;
  Leave_Bus(now);
  Bus_Events_.emplace(now + SIM_REENUMERATION_TIME, BUS_ENUMERATE);
  return 0;
}
