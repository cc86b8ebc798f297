#include "firmware/Connect_Bootloader.h"

#include "firmware/Boot_Baud.h"

#include <string>

// Chip_Connect leaves ST_OPEN once the sync was acknowledged, whatever Get and Get ID did after it.
bool Connect_Bootloader(TSTM32& chip, TLog& log, TBoot_Entry entry) {
  if (chip.Get_Header(entry)) return true;
  if (chip.STM_State == ST_OPEN || static_cast<std::uint32_t>(chip.BautRate) <= BOOT_BAUD_SAFE) return false;
  log.Add("No acknowledgement from the bootloader at " + std::to_string(chip.BautRate) + " baud: connecting at " +
          std::to_string(BOOT_BAUD_SAFE) + " baud");
  chip.BautRate = BOOT_BAUD_SAFE;
  chip.Set_BautRate();
  return chip.Get_Header(entry);
}
