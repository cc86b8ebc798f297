#include "platform/sim/TSim_Plant.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {
constexpr double FILTER_UNIT_SECONDS = 600;  // the filter time counts sixths of an hour
constexpr int MAX_DUTY = 1000;               // tenths of a percent
constexpr int MAX_RPM = 3600;                // at full duty
constexpr int TEMPERATURE_OFFSET = 40;
constexpr int ANALOGUE_PER_PERCENT = 33;

// Drift: slow waves around a comfortable room.
constexpr double ROOM_TEMPERATURE = 21, TEMPERATURE_SWING = 2.5, TEMPERATURE_PERIOD_S = 600;
constexpr double ROOM_HUMIDITY = 45, HUMIDITY_SWING = 6, HUMIDITY_PERIOD_S = 420;

// Duty ids: S0 to S3 of each fan, then the forced and the humidity speed.
constexpr std::uint8_t DUTY_IN = 16, DUTY_OUT = 32, FORCED_STEP = 4, HUMIDITY_STEP = 5;
constexpr std::uint8_t BYPASS_FITTED = 49, BYPASS_INVERTED = 50, TEMPERATURE_OFF = 112, HUMIDITY_LEVEL = 114;

double Seconds(TDuration t) { return std::chrono::duration<double>(t).count(); }

double Wave(double seconds, double period, double phase) {
  return std::sin(2 * std::numbers::pi * seconds / period + phase);
}

std::uint16_t Saturated(double value) { return static_cast<std::uint16_t>(std::clamp(value, 0.0, 65535.0)); }
}  // namespace

TSim_Plant::TSim_Plant(TSim_Settings settings, const TSim_Inputs& inputs, std::uint16_t version, double filter_rate,
                       std::uint32_t seed, TDuration start)
    : Settings_(std::move(settings)),
      Inputs_(inputs),
      Version_(version),
      Filter_Rate_(filter_rate),
      Seed_(seed),
      Filter_Clock_(start) {}

std::optional<std::uint16_t> TSim_Plant::Read(std::uint8_t id, TDuration at) {
  Run_Until(at);
  if (Is_Setting(id)) return Settings_.at(id);
  const TDuties duties = Duties(at);
  switch (id) {
    case SIM_PARAM_BYPASS: {
      const bool open = Setting(BYPASS_FITTED) != 0 && Inputs_.Bypass_Open != (Setting(BYPASS_INVERTED) != 0);
      return open ? 1 : 0;
    }
    case SIM_PARAM_TACHO_IN: return Tacho_Count(duties.In, 0, at);
    case SIM_PARAM_TACHO_OUT: return Tacho_Count(duties.Out, 1, at);
    case SIM_PARAM_ANALOGUE: return Saturated(Humidity(at) * ANALOGUE_PER_PERCENT);
    case SIM_PARAM_TEMPERATURE: return Saturated(Temperature(at) + TEMPERATURE_OFFSET);
    case SIM_PARAM_FORCED: return Inputs_.Forced_Contact ? 1 : 0;
    case SIM_PARAM_VERSION: return Version_;
    default: return std::nullopt;
  }
}

bool TSim_Plant::Write(std::uint8_t id, std::uint16_t value, TDuration at) {
  if (!Is_Setting(id)) return false;
  Run_Until(at);
  Settings_[id] = value;
  if (id == SIM_PARAM_FILTER_TIME) Filter_Remainder_ = 0;
  return true;
}

void TSim_Plant::Reset_Filter_Time(TDuration at) { Write(SIM_PARAM_FILTER_TIME, 0, at); }

// The filter wears only while a fan turns.
void TSim_Plant::Run_Until(TDuration at) {
  if (at <= Filter_Clock_) return;
  const TDuties duties = Duties(Filter_Clock_);
  if (duties.In > 0 || duties.Out > 0) {
    Filter_Remainder_ += Seconds(at - Filter_Clock_) * Filter_Rate_;
    const double units = std::floor(Filter_Remainder_ / FILTER_UNIT_SECONDS);
    Filter_Remainder_ -= units * FILTER_UNIT_SECONDS;
    Settings_[SIM_PARAM_FILTER_TIME] = Saturated(Setting(SIM_PARAM_FILTER_TIME) + units);
  }
  Filter_Clock_ = at;
}

// The chosen step's duties; more air while the humidity is above its level; the inflow stops at
// or below the switch-off temperature; a closed forced contact raises both fans to the forced
// speed where that is higher.
TSim_Plant::TDuties TSim_Plant::Duties(TDuration at) const {
  const std::uint8_t step = static_cast<std::uint8_t>(Inputs_.Speed);
  int in = Setting(DUTY_IN + step), out = Setting(DUTY_OUT + step);
  if (Humidity(at) > Setting(HUMIDITY_LEVEL)) {
    in = std::max(in, Setting(DUTY_IN + HUMIDITY_STEP));
    out = std::max(out, Setting(DUTY_OUT + HUMIDITY_STEP));
  }
  if (Temperature(at) <= Setting(TEMPERATURE_OFF)) in = 0;
  if (Inputs_.Forced_Contact) {
    if (Setting(DUTY_IN + FORCED_STEP) > Setting(DUTY_IN + step)) in = Setting(DUTY_IN + FORCED_STEP);
    if (Setting(DUTY_OUT + FORCED_STEP) > Setting(DUTY_OUT + step)) out = Setting(DUTY_OUT + FORCED_STEP);
  }
  return {std::min(in, MAX_DUTY), std::min(out, MAX_DUTY)};
}

int TSim_Plant::Temperature(TDuration at) const {
  if (Inputs_.Temperature) return *Inputs_.Temperature;
  return static_cast<int>(
      std::lround(ROOM_TEMPERATURE + TEMPERATURE_SWING * Wave(Seconds(at), TEMPERATURE_PERIOD_S, Seed_)));
}

int TSim_Plant::Humidity(TDuration at) const {
  if (Inputs_.Humidity) return *Inputs_.Humidity;
  return static_cast<int>(std::lround(ROOM_HUMIDITY + HUMIDITY_SWING * Wave(Seconds(at), HUMIDITY_PERIOD_S, 2.0 * Seed_)));
}

// Counts per second follow the duty (rpm / 60), with one count of noise either way each second.
int TSim_Plant::Tacho_Count(int duty, int fan, TDuration at) const {
  if (duty <= 0) return 0;
  const auto second = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(at).count());
  std::uint32_t hash = (second * 2654435761u) ^ (Seed_ * 40503u) ^ (static_cast<std::uint32_t>(fan) * 97u);
  hash ^= hash >> 15;
  const int noise = static_cast<int>(hash % 3) - 1;
  return std::max(0, duty * MAX_RPM / MAX_DUTY / 60 + noise);
}
