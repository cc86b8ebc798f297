#include "platform/CP210x_Part.h"

#include "platform/Hex_Text.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<std::uint8_t, const char*>, 6> NAMES = {{
    {CP210X_PART_CP2101, "CP2101"},
    {CP210X_PART_CP2102, "CP2102"},
    {CP210X_PART_CP2103, "CP2103"},
    {CP210X_PART_CP2104, "CP2104"},
    {CP210X_PART_CP2105, "CP2105"},
    {CP210X_PART_CP2108, "CP2108"},
}};
}  // namespace

bool Is_CP2102N(std::uint8_t part) { return part >= CP210X_PART_CP2102N_QFN28 && part <= CP210X_PART_CP2102N_QFN20; }

std::string Part_Name(std::uint8_t part) {
  if (Is_CP2102N(part)) return "CP2102N";
  for (const auto& [number, name] : NAMES)
    if (number == part) return name;
  return "part 0x" + Hex_Text(part, 2);
}

std::optional<std::uint8_t> Part_Named(std::string_view name) {
  if (name == "cp2102") return CP210X_PART_CP2102;
  if (name == "cp2102n") return CP210X_PART_CP2102N_QFN28;
  if (name == "cp2104") return CP210X_PART_CP2104;
  return std::nullopt;
}
