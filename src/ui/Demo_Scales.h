// How the Demo tab's slider positions stand for values: a value is Offset - Factor x position, and a
// stored value goes back to a position by the reverse, with the division truncating toward 0.
#pragma once

#include <cstdint>

struct TDemo_Scale {
  int Offset;
  int Factor;

  constexpr int Value(int position) const { return Offset - Factor * position; }
  // Wide enough for any 32-bit field, so a hostile file cannot overflow it; the slider clamps it.
  constexpr std::int64_t Position(std::int32_t value) const { return (Offset - std::int64_t{value}) / Factor; }
};

inline constexpr TDemo_Scale FAN_PERCENT{100, 1};   // a fan setting's percentage
inline constexpr TDemo_Scale FAN_DUTY{1000, 10};    // the same in the record's tenths of a percent
inline constexpr TDemo_Scale TEMPERATURE{0, 1};     // the simulated air temperature, degrees C
inline constexpr TDemo_Scale SWITCH_OFF{31, 1};     // the switch-off temperature T_Off, degrees C
inline constexpr TDemo_Scale HUMIDITY{110, 1};      // the humidity and the humidity level, percent

// The fan speed a percentage stands for.
constexpr int Rpm_Of_Percent(int percent) { return 36 * percent; }
