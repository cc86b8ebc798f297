#include "platform/sim/TSim_Bridge.h"

namespace {
constexpr TSim_Line_Format POWER_UP_FORMAT{9600, 8, SIM_PARITY_NONE, 2};
constexpr std::uint32_t MIN_BAUD = 300;
constexpr std::uint32_t MAX_BAUD = 3000000;
}  // namespace

TSim_Bridge::TSim_Bridge(TSim_Bridge_Identity identity, bool pid_programmed)
    : Config(identity.Part, identity.Vid, identity.Pid, pid_programmed),
      Identity_(std::move(identity)),
      Format_(POWER_UP_FORMAT) {}

void TSim_Bridge::Leave_Bus() {
  Present_ = false;
  Open_.clear();
  Received.clear();
}

void TSim_Bridge::Enumerate() {
  Identity_ = Enumerated_Identity(Identity_, Config.Stored_Pid());
  Present_ = true;
  ++Enumeration_;
  Format_ = POWER_UP_FORMAT;
}

std::optional<TSim_Session> TSim_Bridge::Open() {
  if (!Present_) return std::nullopt;
  Open_.insert(++Openings_);
  return TSim_Session{Enumeration_, Openings_};
}

bool TSim_Bridge::Valid(const TSim_Session& session) const {
  return Present_ && session.Enumeration == Enumeration_ && Open_.contains(session.Opening);
}

bool TSim_Bridge::Close(const TSim_Session& session) {
  Open_.erase(session.Opening);
  return Open_.empty();
}

bool TSim_Bridge::Set_Baud_Rate(std::uint32_t baud) {
  if (baud < MIN_BAUD || baud > MAX_BAUD) return false;
  Format_.Baud = baud;
  return true;
}

bool TSim_Bridge::Set_Line_Control(std::uint16_t line_control) {
  const std::optional<TSim_Line_Format> format = Line_Format(Format_.Baud, line_control);
  if (format) Format_ = *format;
  return format.has_value();
}
