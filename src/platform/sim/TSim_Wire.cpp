#include "platform/sim/TSim_Wire.h"

#include <algorithm>

void TSim_Wire::Send(std::uint8_t value, const TSim_Line_Format& format, TDuration ready) {
  const TDuration departure = std::max(ready, Free_At_);
  Free_At_ = departure + Byte_Time(format);
  Bytes_.push_back({value, format, departure, Free_At_});
}

std::optional<TDuration> TSim_Wire::Next_Arrival() const {
  if (Bytes_.empty()) return std::nullopt;
  return Bytes_.front().Arrival;
}

std::optional<TDuration> TSim_Wire::Arrival_Of(std::size_t count) const {
  if (Bytes_.empty() || count == 0) return std::nullopt;
  return Bytes_[std::min(count, Bytes_.size()) - 1].Arrival;
}

TSim_Wire_Byte TSim_Wire::Take_First() {
  const TSim_Wire_Byte first = Bytes_.front();
  Bytes_.pop_front();
  return first;
}

void TSim_Wire::Drop_Unsent(TDuration now) {
  std::erase_if(Bytes_, [now](const TSim_Wire_Byte& byte) { return byte.Departure > now; });
  Free_At_ = Bytes_.empty() ? now : Bytes_.back().Arrival;
}

void TSim_Wire::Clear() { Bytes_.clear(); }
