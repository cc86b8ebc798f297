// The STM32F1 families that Get ID tells apart by the low byte of the product id, each with its
// memory map, as the bootloader reaches it.
#pragma once

#include "firmware/THex_Image.h"

#include <cstdint>
#include <span>
#include <string>

struct TSTM32_Family {
  std::uint8_t PID_L;
  const char* Name;  // as Name_ holds it: "F1 Medium-density"
  const char* Key;   // as a command line names it: "medium-density"
  std::uint32_t RAM_S, RAM_F, Flash_F;
  std::uint8_t C_Page, Size_C_P;
  std::uint32_t SysM_S;
};

// The same for every family.
inline constexpr std::uint32_t F1_FLASH_START = 0x08000000;
inline constexpr std::uint32_t F1_FLASH_SECTOR_KIB = 4;
inline constexpr std::uint32_t F1_OPTION_BYTES_FIRST = 0x1FFFF800;
inline constexpr std::uint32_t F1_OPTION_BYTES_LAST = 0x1FFFF80F;
inline constexpr std::uint32_t F1_SYSTEM_MEMORY_END = 0x1FFFF800;
inline constexpr std::uint8_t F1_MEDIUM_DENSITY = 0x10;  // the controller's chip

std::span<const TSTM32_Family> STM32F1_Families();
// The family of a product id's low byte; null for one the table does not list.
const TSTM32_Family* Family_Of(std::uint8_t pid_l);
// The family a command line names by its key; null for another word.
const TSTM32_Family* Family_Named(const std::string& key);
// From the flash start to the end of the largest flash of the table: no family holds data elsewhere.
TFlash_Range Largest_F1_Flash();
