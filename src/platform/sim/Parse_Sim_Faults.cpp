#include "platform/sim/Parse_Sim_Faults.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <string_view>

namespace {
constexpr double LONGEST_UNPLUG_PERIOD = 1e6;  // seconds, some eleven days

std::optional<double> Number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// One NAME=VALUE item into `faults`; what is wrong with it, or an empty text.
std::string Parse_Item(std::string_view item, TSim_Line_Faults& faults) {
  const std::string quoted = "'" + std::string(item) + "'";
  const std::size_t equals = item.find('=');
  if (equals == std::string_view::npos) return quoted + " needs a value, as in noise=0.001";
  const std::string_view name = item.substr(0, equals);
  const std::optional<double> value = Number(item.substr(equals + 1));
  if (name == "unplug") {
    if (!value || *value <= 2 || *value > LONGEST_UNPLUG_PERIOD)
      return quoted + " needs a period in seconds longer than the 2 s the bridge stays away";
    faults.Unplug_Period = std::chrono::duration_cast<TDuration>(std::chrono::duration<double>(*value));
    return {};
  }
  double TSim_Line_Faults::*probability = name == "noise" ? &TSim_Line_Faults::Noise
                                          : name == "late" ? &TSim_Line_Faults::Late
                                          : name == "drop" ? &TSim_Line_Faults::Drop
                                                           : nullptr;
  if (!probability) return "unknown fault '" + std::string(name) + "' (use noise, late, drop or unplug)";
  if (!value || *value < 0 || *value > 1) return quoted + " needs a probability from 0 to 1";
  faults.*probability = *value;
  return {};
}
}  // namespace

std::variant<TSim_Line_Faults, std::string> Parse_Sim_Faults(const std::string& list) {
  TSim_Line_Faults faults;
  if (std::string problem = Add_Sim_Faults(list, faults); !problem.empty()) return problem;
  return faults;
}

std::string Add_Sim_Faults(const std::string& list, TSim_Line_Faults& faults) {
  if (list.empty()) return "--sim-faults needs a list such as noise=0.001,late=0.02";
  TSim_Line_Faults added = faults;
  std::string_view rest = list;
  for (;;) {
    const std::size_t comma = rest.find(',');
    if (const std::string problem = Parse_Item(rest.substr(0, comma), added); !problem.empty())
      return "--sim-faults: " + problem;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  faults = added;
  return {};
}

std::optional<std::uint32_t> Parse_Sim_Seed(const std::string& text) {
  std::uint32_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

std::uint32_t Sim_Seed_From_Clock() {
  return static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

std::string Sim_Seed_Line(std::uint32_t seed) {
  const std::string text = std::to_string(seed);
  return "virtual line faults with seed " + text + " (--sim-seed " + text + " repeats them)";
}
