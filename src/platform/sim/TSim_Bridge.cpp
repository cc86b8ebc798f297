#include "platform/sim/TSim_Bridge.h"

namespace {
constexpr TSim_Line_Format POWER_UP_FORMAT{9600, 8, SIM_PARITY_NONE, 2};
constexpr std::uint32_t MIN_BAUD = 300;
constexpr std::uint32_t MAX_BAUD = 3000000;
}  // namespace

TSim_Bridge::TSim_Bridge(TSim_Bridge_Identity identity)
    : Identity_(std::move(identity)), Stored_Pid_(Identity_.Pid), Format_(POWER_UP_FORMAT) {}

void TSim_Bridge::Leave_Bus() {
  Present_ = false;
  ++Enumeration_;
  Usb_Opening_ = 0;
  Received.clear();
}

void TSim_Bridge::Enumerate() {
  Identity_ = Enumerated_Identity(Identity_, Stored_Pid_);
  Present_ = true;
  Format_ = POWER_UP_FORMAT;
}

std::optional<TSim_Session> TSim_Bridge::Open(TSim_View view) {
  if (!Listed_By(view)) return std::nullopt;
  if (view == SIM_VIEW_MANUFACTURING) return TSim_Session{view, Enumeration_, 0};
  Usb_Opening_ = ++Openings_;
  return TSim_Session{view, Enumeration_, Usb_Opening_};
}

bool TSim_Bridge::Valid(const TSim_Session& session) const {
  if (!Present_ || session.Enumeration != Enumeration_) return false;
  return session.View == SIM_VIEW_MANUFACTURING || session.Opening == Usb_Opening_;
}

void TSim_Bridge::Close(const TSim_Session& session) {
  if (session.View == SIM_VIEW_USBXPRESS) Usb_Opening_ = 0;
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
