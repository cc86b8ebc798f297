// The controller's parameter set as the program holds it, and the whole content of a configuration
// file: 33 signed 32-bit fields in this order, field i at byte offset 4 x i.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Time and L_Time count sixths of an hour.
inline constexpr std::int32_t SIXTHS_PER_HOUR = 6;

struct TVOK_Prop {
  std::int32_t FirmW = 0;        // firmware version: major in the high byte, minor in the low byte
  std::int32_t PWM_IN_0 = 0;     // inflow fan duty at S0, S1, S2, S3, in tenths of a percent
  std::int32_t PWM_IN_1 = 0;
  std::int32_t PWM_IN_2 = 0;
  std::int32_t PWM_IN_3 = 0;
  std::int32_t PWM_OUT_0 = 0;    // outflow fan duty at S0, S1, S2, S3
  std::int32_t PWM_OUT_1 = 0;
  std::int32_t PWM_OUT_2 = 0;
  std::int32_t PWM_OUT_3 = 0;
  std::int32_t PWM_IN_F = 0;     // fan duties at the forced speed SF
  std::int32_t PWM_OUT_F = 0;
  std::int32_t PWM_IN_H = 0;     // fan duties at the humidity speed SH
  std::int32_t PWM_OUT_H = 0;
  std::int32_t T_O_IN = 0;       // tachometers: the controller's count times 60, pulses per minute
  std::int32_t T_O_OUT = 0;
  std::int32_t V_in = 0;         // analogue input: 333 per volt, 33 per percent of humidity
  std::int32_t T_in = 0;         // temperature in degrees C plus 40; above 90 a sensor fault
  std::int32_t Time = 0;         // filter running time in sixths of an hour
  std::int32_t L_Time = 0;       // filter alarm time in sixths of an hour
  std::int32_t Time_Al = 0;      // kept, never exchanged
  std::int32_t F_In = 0;         // forced-input contact: 1 closed
  std::int32_t B_P = 0;          // bypass valve: 0 closed
  std::int32_t B_P_E = 0;        // bypass fitted
  std::int32_t B_P_I = 0;        // bypass inverted
  std::int32_t T_Off = 0;        // temperature threshold in degrees C
  std::int32_t H_Lvl = 0;        // humidity level in percent
  std::int32_t CNTR_GB = 0;      // kept, never exchanged
  std::int32_t Cur_S = 0;        // kept, never exchanged
  std::int32_t MAX_IN_RPM = 0;   // passed through unchanged
  std::int32_t MAX_OUT_RPM = 0;
  std::int32_t MAX_DIFF = 0;
  std::int32_t DISREGARD = 0;
  std::int32_t mode = 0;         // written with every full write, never read

  bool operator==(const TVOK_Prop&) const = default;
};

// The fields in file order, with their names.
struct TProp_Field {
  const char* Name;
  std::int32_t TVOK_Prop::*Member;
};

inline constexpr std::array<TProp_Field, 33> VOK_PROP_FIELDS = {{
    {"FirmW", &TVOK_Prop::FirmW},         {"PWM_IN_0", &TVOK_Prop::PWM_IN_0},     {"PWM_IN_1", &TVOK_Prop::PWM_IN_1},
    {"PWM_IN_2", &TVOK_Prop::PWM_IN_2},   {"PWM_IN_3", &TVOK_Prop::PWM_IN_3},     {"PWM_OUT_0", &TVOK_Prop::PWM_OUT_0},
    {"PWM_OUT_1", &TVOK_Prop::PWM_OUT_1}, {"PWM_OUT_2", &TVOK_Prop::PWM_OUT_2},   {"PWM_OUT_3", &TVOK_Prop::PWM_OUT_3},
    {"PWM_IN_F", &TVOK_Prop::PWM_IN_F},   {"PWM_OUT_F", &TVOK_Prop::PWM_OUT_F},   {"PWM_IN_H", &TVOK_Prop::PWM_IN_H},
    {"PWM_OUT_H", &TVOK_Prop::PWM_OUT_H}, {"T_O_IN", &TVOK_Prop::T_O_IN},         {"T_O_OUT", &TVOK_Prop::T_O_OUT},
    {"V_in", &TVOK_Prop::V_in},           {"T_in", &TVOK_Prop::T_in},             {"Time", &TVOK_Prop::Time},
    {"L_Time", &TVOK_Prop::L_Time},       {"Time_Al", &TVOK_Prop::Time_Al},       {"F_In", &TVOK_Prop::F_In},
    {"B_P", &TVOK_Prop::B_P},             {"B_P_E", &TVOK_Prop::B_P_E},           {"B_P_I", &TVOK_Prop::B_P_I},
    {"T_Off", &TVOK_Prop::T_Off},         {"H_Lvl", &TVOK_Prop::H_Lvl},           {"CNTR_GB", &TVOK_Prop::CNTR_GB},
    {"Cur_S", &TVOK_Prop::Cur_S},         {"MAX_IN_RPM", &TVOK_Prop::MAX_IN_RPM}, {"MAX_OUT_RPM", &TVOK_Prop::MAX_OUT_RPM},
    {"MAX_DIFF", &TVOK_Prop::MAX_DIFF},   {"DISREGARD", &TVOK_Prop::DISREGARD},   {"mode", &TVOK_Prop::mode},
}};

inline constexpr std::size_t VOK_PROP_SIZE = 4 * VOK_PROP_FIELDS.size();

static_assert(sizeof(TVOK_Prop) == VOK_PROP_SIZE);
static_assert(offsetof(TVOK_Prop, PWM_IN_0) == 4 && offsetof(TVOK_Prop, T_O_IN) == 52 &&
              offsetof(TVOK_Prop, Time_Al) == 76 && offsetof(TVOK_Prop, T_Off) == 96 &&
              offsetof(TVOK_Prop, MAX_IN_RPM) == 112 && offsetof(TVOK_Prop, mode) == 128);
