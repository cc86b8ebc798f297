// The controller's settings by parameter id, as its non-volatile memory keeps them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

using TSim_Settings = std::map<std::uint8_t, std::uint16_t>;

// Fan duties of each speed (in, out), bypass fitted and inverted, filter running and alarm time,
// temperature and humidity thresholds, fan limits, and the mode word.
inline constexpr std::array<std::uint8_t, 23> SIM_SETTING_IDS = {
    16, 17, 18, 19, 20, 21, 32, 33, 34, 35, 36, 37, 49, 50, 83, 85, 112, 114, 128, 129, 130, 131, 144};

inline bool Is_Setting(std::uint8_t id) {
  return std::find(SIM_SETTING_IDS.begin(), SIM_SETTING_IDS.end(), id) != SIM_SETTING_IDS.end();
}

// As the controller leaves the factory.
TSim_Settings Factory_Settings();
