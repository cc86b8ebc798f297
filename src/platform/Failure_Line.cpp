#include "platform/Failure_Line.h"

#include <cerrno>

namespace {
constexpr const char* SEE_README = " (README, section \"Real hardware\")";

const char* Advice(int error) {
  if (Device_Gone(error)) return "the device went away; plug the controller in again";
  switch (error) {
    case EACCES:
    case EPERM: return "permission denied; install the udev rule and plug the controller in again";
    case EBUSY: return "in use by another program; close that program";
    default: return nullptr;
  }
}
}  // namespace

bool Device_Gone(int error) { return error == ENOENT || error == ENODEV || error == ENXIO || error == EIO; }

std::string Failure_Line(const std::string& device, int error) {
  const char* advice = Advice(error);
  return advice ? device + ": " + advice + SEE_README : std::string();
}
