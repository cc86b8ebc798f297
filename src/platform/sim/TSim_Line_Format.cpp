#include "platform/sim/TSim_Line_Format.h"

#include <chrono>

TDuration Byte_Time(const TSim_Line_Format& format) {
  const unsigned parity_bits = format.Parity == SIM_PARITY_NONE ? 0 : 1;
  const unsigned half_bits = 2 * (1 + format.Data_Bits + parity_bits) + format.Stop_Half_Bits;
  return TDuration(std::chrono::seconds(1)) * half_bits / (2 * format.Baud);
}

std::optional<TSim_Line_Format> Line_Format(std::uint32_t baud, std::uint16_t line_control) {
  const unsigned data_bits = line_control >> 8;
  const unsigned parity = (line_control >> 4) & 0x0F;
  const unsigned stop_bits = line_control & 0x0F;
  if (data_bits < 5 || data_bits > 8 || parity > SIM_PARITY_SPACE || stop_bits > 2) return std::nullopt;
  return TSim_Line_Format{baud, static_cast<std::uint8_t>(data_bits), static_cast<TSim_Parity>(parity),
                          static_cast<std::uint8_t>(2 + stop_bits)};
}

bool Receiver_Reads(const TSim_Line_Format& sender, const TSim_Line_Format& receiver, bool parity_dropped) {
  return sender.Baud == receiver.Baud && sender.Data_Bits == receiver.Data_Bits &&
         (parity_dropped || sender.Parity == receiver.Parity);
}
