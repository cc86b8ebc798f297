// The serial format of the bridge library's calls in termios terms: the line-control word and the
// baud rate.
#pragma once

#include <termios.h>

#include <cstdint>
#include <optional>

// The character-size, parity and stop-bit flags of c_cflag for a line-control word (data bits in
// the high byte, parity in bits 4-7, stop bits in bits 0-3); nothing for a format termios lacks.
std::optional<tcflag_t> Line_Control_Flags(std::uint16_t line_control);

// The flags that Line_Control_Flags sets, for clearing them first.
inline constexpr tcflag_t LINE_CONTROL_MASK = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

std::optional<speed_t> Baud_Speed(std::uint32_t baud);
