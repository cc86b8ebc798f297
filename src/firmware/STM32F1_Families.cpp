#include "firmware/STM32F1_Families.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<TSTM32_Family, 7> FAMILIES = {{
    {0x12, "F1 Low-density", "low-density", 0x20000200, 0x20002800, 0x08008000, 4, 1, 0x1FFFF000},
    {0x10, "F1 Medium-density", "medium-density", 0x20000200, 0x20005000, 0x08020000, 4, 1, 0x1FFFF000},
    {0x14, "F1 High-density", "high-density", 0x20000200, 0x20010000, 0x08080000, 2, 2, 0x1FFFF000},
    {0x18, "F1 Connectivity line", "connectivity-line", 0x20001000, 0x20010000, 0x08040000, 2, 2, 0x1FFFB000},
    {0x20, "F1 Medium-density VL", "medium-density-vl", 0x20000200, 0x20002000, 0x08020000, 4, 1, 0x1FFFF000},
    {0x28, "F1 High-density VL", "high-density-vl", 0x20000200, 0x20008000, 0x08080000, 2, 2, 0x1FFFF000},
    {0x30, "F1 XL-density", "xl-density", 0x20000800, 0x20018000, 0x08100000, 2, 2, 0x1FFFE000},
}};
}  // namespace

std::span<const TSTM32_Family> STM32F1_Families() { return FAMILIES; }

const TSTM32_Family* Family_Of(std::uint8_t pid_l) {
  for (const TSTM32_Family& family : FAMILIES)
    if (family.PID_L == pid_l) return &family;
  return nullptr;
}

const TSTM32_Family* Family_Named(const std::string& key) {
  for (const TSTM32_Family& family : FAMILIES)
    if (key == family.Key) return &family;
  return nullptr;
}

TFlash_Range Largest_F1_Flash() {
  const auto largest = std::max_element(FAMILIES.begin(), FAMILIES.end(), [](const auto& a, const auto& b) {
    return a.Flash_F < b.Flash_F;
  });
  return {F1_FLASH_START, largest->Flash_F};
}
