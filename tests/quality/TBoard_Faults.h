// The faults a fault-table row strikes the virtual board with, and takes away again, each as a step
// that runs at the moment the row chooses.
#pragma once

#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"

#include <chrono>
#include <functional>

// What a fault acts on: the bus, its first board (the controller under test) and the clock.
struct TFault_Site {
  TSim_Bus& Bus;
  TVirtual_Clock& Clock;
  TSim_Board& Board() const { return Bus.Board(0); }
};

using TFault = std::function<void(const TFault_Site&)>;

// The cable leaves `after` from now, so a fault struck as a tick begins lands inside its exchange.
inline TFault Unplug(TDuration after = TDuration{0}) {
  return [after](const TFault_Site& site) { site.Board().Unplug_At(site.Clock.Now() + after); };
}
inline TFault Replug() {
  return [](const TFault_Site& site) { site.Board().Replug_At(site.Clock.Now()); };
}
// Every answer leaves `delay` later; past the 500 ms time-out it comes after the read gave up.
inline TFault Delay(TDuration delay) {
  return [delay](const TFault_Site& site) { site.Board().Delay_Answers(delay); };
}
inline TFault Silence(bool silent) {
  return [silent](const TFault_Site& site) { site.Board().Set_Silent(silent); };
}
// The n-th bootloader frame from now is refused.
inline TFault Nack(unsigned frame) {
  return [frame](const TFault_Site& site) { site.Board().Nack_Frame(frame); };
}
// The n-th byte from now in `direction` arrives with the bits of `mask` flipped.
inline TFault Corrupt(TSim_Direction direction, unsigned byte, std::uint8_t mask = 0xFF) {
  return [=](const TFault_Site& site) { site.Board().Corrupt_Byte(direction, byte, mask); };
}
inline TFault Attach_Second_Board(TSim_Factory_State state) {
  return [state](const TFault_Site& site) { site.Bus.Attach(Factory_Setup(state)); };
}
inline TFault Unplug_Second_Board() {
  return [](const TFault_Site& site) { site.Bus.Board(1).Unplug_At(site.Clock.Now()); };
}
// A fault that goes away by itself: it strikes once.
inline const TFault ONE_SHOT = [](const TFault_Site&) {};
