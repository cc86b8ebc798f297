// The controller's live values: its settings as last written, and the status values that follow
// from them, from the board's inputs and from time: fan duties and tachometers, temperature,
// humidity, the forced contact, the bypass and the filter running time.
#pragma once

#include "platform/TClock.h"
#include "platform/sim/TSim_Settings.h"

#include <cstdint>
#include <optional>

enum TSim_Speed { SIM_SPEED_S0, SIM_SPEED_S1, SIM_SPEED_S2, SIM_SPEED_S3 };

// What the controller senses besides the host's frames; a test sets them.
struct TSim_Inputs {
  TSim_Speed Speed = SIM_SPEED_S1;  // the speed step chosen at the controller
  bool Forced_Contact = false;      // the forced-ventilation contact is closed
  bool Bypass_Open = false;         // the bypass damper is asked to open
  std::optional<int> Temperature;   // °C; unset, it drifts around 21 °C
  std::optional<int> Humidity;      // %; unset, it drifts around 45 %
};

// Parameter ids of the status values.
inline constexpr std::uint8_t SIM_PARAM_BYPASS = 48;
inline constexpr std::uint8_t SIM_PARAM_TACHO_IN = 64;   // tachometer counts per second
inline constexpr std::uint8_t SIM_PARAM_TACHO_OUT = 65;
inline constexpr std::uint8_t SIM_PARAM_ANALOGUE = 80;   // 33 units per percent of humidity
inline constexpr std::uint8_t SIM_PARAM_TEMPERATURE = 81;  // °C + 40
inline constexpr std::uint8_t SIM_PARAM_FORCED = 82;     // 1: contact closed
inline constexpr std::uint8_t SIM_PARAM_FILTER_TIME = 83;  // sixths of an hour of fan running
inline constexpr std::uint8_t SIM_PARAM_VERSION = 255;   // major in the high byte

class TSim_Plant {
public:
  // `filter_rate`: filter running time per unit of clock time (1 is real time). `seed` sets this
  // board's drift and noise.
  TSim_Plant(TSim_Settings settings, const TSim_Inputs& inputs, std::uint16_t version, double filter_rate,
             std::uint32_t seed, TDuration start);

  // What a read of `id` gives at `at`; nullopt for an id the controller does not know.
  std::optional<std::uint16_t> Read(std::uint8_t id, TDuration at);
  // Only settings can be written; false for any other id.
  bool Write(std::uint8_t id, std::uint16_t value, TDuration at);
  void Reset_Filter_Time(TDuration at);
  // Counts the filter running time up to `at` (before an input changes the fans).
  void Run_Until(TDuration at);
  const TSim_Settings& Settings() const { return Settings_; }

private:
  struct TDuties {
    int In;
    int Out;
  };
  TDuties Duties(TDuration at) const;
  int Temperature(TDuration at) const;
  int Humidity(TDuration at) const;
  int Tacho_Count(int duty, int fan, TDuration at) const;
  int Setting(std::uint8_t id) const { return Settings_.at(id); }

  TSim_Settings Settings_;
  const TSim_Inputs& Inputs_;
  std::uint16_t Version_;
  double Filter_Rate_;
  std::uint32_t Seed_;
  TDuration Filter_Clock_;      // up to when the filter time has been counted
  double Filter_Remainder_ = 0;  // running time towards the next unit, in seconds
};
