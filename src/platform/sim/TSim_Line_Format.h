// The format of one end of a serial line, and how long one byte of it takes on the wire.
#pragma once

#include "platform/TClock.h"

#include <cstdint>
#include <optional>

enum TSim_Parity : std::uint8_t { SIM_PARITY_NONE, SIM_PARITY_ODD, SIM_PARITY_EVEN, SIM_PARITY_MARK, SIM_PARITY_SPACE };

struct TSim_Line_Format {
  std::uint32_t Baud = 9600;
  std::uint8_t Data_Bits = 8;
  TSim_Parity Parity = SIM_PARITY_NONE;
  std::uint8_t Stop_Half_Bits = 2;  // 2: one stop bit, 3: one and a half, 4: two

  bool operator==(const TSim_Line_Format&) const = default;
};

// The controller application's fixed format.
inline constexpr TSim_Line_Format SIM_8N1_38400{38400, 8, SIM_PARITY_NONE, 2};

// (1 start + data + parity + stop) bits at the baud rate.
TDuration Byte_Time(const TSim_Line_Format& format);

// `baud` with the USBXpress line-control word (data bits in the high byte, parity in bits 4-7,
// stop bits in bits 0-3); nullopt for a word the bridge does not support.
std::optional<TSim_Line_Format> Line_Format(std::uint32_t baud, std::uint16_t line_control);

// Whether a receiver set to `receiver` reads a byte sent in `sender` format rather than garbage.
// A line that drops parity bits (a pty) compares baud rate and data bits alone.
bool Receiver_Reads(const TSim_Line_Format& sender, const TSim_Line_Format& receiver, bool parity_dropped);
