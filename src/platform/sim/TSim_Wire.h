// One direction of a serial line: the bytes in flight. Each byte leaves its sender when the one
// before it has gone and arrives one byte time later.
#pragma once

#include "platform/sim/TSim_Line_Format.h"

#include <cstdint>
#include <deque>
#include <optional>

struct TSim_Wire_Byte {
  std::uint8_t Value;
  TSim_Line_Format Format;  // the sender's
  TDuration Departure;
  TDuration Arrival;
};

class TSim_Wire {
public:
  // Queues `value` to leave no earlier than `ready`.
  void Send(std::uint8_t value, const TSim_Line_Format& format, TDuration ready);
  std::optional<TDuration> Next_Arrival() const;
  // When the first `count` bytes in flight, or all of them when fewer are, have arrived.
  std::optional<TDuration> Arrival_Of(std::size_t count) const;
  // The first byte in flight, which the caller has found due.
  TSim_Wire_Byte Take_First();
  // Bytes that have not left their sender by `now` never go (a flush, a reset of the sender).
  void Drop_Unsent(TDuration now);
  void Clear();

private:
  std::deque<TSim_Wire_Byte> Bytes_;
  TDuration Free_At_{0};  // when the last byte queued has gone
};
