#include "platform/sim/TSim_Bridge_Identity.h"

#include "platform/Hex_Text.h"

#include <algorithm>
#include <array>

namespace {
// The Silicon Labs defaults of the cp210x id table: factory (ea60, ea61, ea70), Windows Update
// (ea63, ea7a, ea7b) and ea71.
constexpr std::array<std::uint16_t, 7> CP210X_PIDS = {0xEA60, 0xEA61, 0xEA63, 0xEA70, 0xEA71, 0xEA7A, 0xEA7B};

std::uint64_t Mixed(unsigned unit, std::uint64_t salt) { return (unit + salt) * 0x9E3779B97F4A7C15ull; }
}  // namespace

TSim_Bridge_Identity Factory_Identity(std::uint8_t part, std::uint16_t pid, unsigned unit) {
  TSim_Bridge_Identity identity;
  identity.Pid = pid;
  identity.Part = part;
  if (part == SIM_PART_CP2104) {
    identity.Product = "CP2104 USB to UART Bridge Controller";
    identity.Serial = Hex_Text(Mixed(unit, 1) >> 32, 8);
  } else if (part == SIM_PART_CP2102N) {
    identity.Product = "CP2102N USB to UART Bridge Controller";
    identity.Serial = Hex_Text(Mixed(unit, 2), 16, HEX_LOWER) + Hex_Text(Mixed(unit, 3), 16, HEX_LOWER);
  }
  return identity;
}

TSim_Bridge_Identity Enumerated_Identity(const TSim_Bridge_Identity& before, std::uint16_t pid) {
  TSim_Bridge_Identity after = before;
  after.Pid = pid;
  return after;
}

bool Cp210x_Binds(std::uint16_t vid, std::uint16_t pid) {
  return vid == SIM_CP210X_VID && std::find(CP210X_PIDS.begin(), CP210X_PIDS.end(), pid) != CP210X_PIDS.end();
}

bool Listed_By(TSim_View view, const TSim_Bridge_Identity& identity) {
  if (!Cp210x_Binds(identity.Vid, identity.Pid)) return false;
  return view == SIM_VIEW_MANUFACTURING || identity.Pid == SIM_USBXPRESS_PID;
}
