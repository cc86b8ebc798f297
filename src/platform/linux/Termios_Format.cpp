#include "platform/linux/Termios_Format.h"

#include <array>
#include <utility>

namespace {
enum TParity : unsigned { PARITY_NONE, PARITY_ODD, PARITY_EVEN, PARITY_MARK, PARITY_SPACE };
enum TStop_Bits : unsigned { STOP_ONE, STOP_ONE_AND_HALF, STOP_TWO };

std::optional<tcflag_t> Size_Flag(unsigned data_bits) {
  switch (data_bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return std::nullopt;
  }
}

// Mark and space parity are a fixed parity bit (CMSPAR), odd selecting mark.
std::optional<tcflag_t> Parity_Flags(unsigned parity) {
  switch (parity) {
    case PARITY_NONE: return 0;
    case PARITY_ODD: return PARENB | PARODD;
    case PARITY_EVEN: return PARENB;
    case PARITY_MARK: return PARENB | CMSPAR | PARODD;
    case PARITY_SPACE: return PARENB | CMSPAR;
    default: return std::nullopt;
  }
}

// termios has no one and a half stop bits.
std::optional<tcflag_t> Stop_Flags(unsigned stop_bits) {
  switch (stop_bits) {
    case STOP_ONE: return 0;
    case STOP_TWO: return CSTOPB;
    default: return std::nullopt;
  }
}

constexpr std::array<std::pair<std::uint32_t, speed_t>, 18> BAUD_SPEEDS{{
    {300, B300}, {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400}, {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
    {230400, B230400}, {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
    {1000000, B1000000}, {2000000, B2000000},
}};
}  // namespace

std::optional<tcflag_t> Line_Control_Flags(std::uint16_t line_control) {
  const auto size = Size_Flag(line_control >> 8);
  const auto parity = Parity_Flags((line_control >> 4) & 0x0F);
  const auto stop = Stop_Flags(line_control & 0x0F);
  if (!size || !parity || !stop) return std::nullopt;
  return *size | *parity | *stop;
}

std::optional<speed_t> Baud_Speed(std::uint32_t baud) {
  for (const auto& [rate, speed] : BAUD_SPEEDS) {
    if (rate == baud) return speed;
  }
  return std::nullopt;
}
