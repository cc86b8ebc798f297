// Starting a bootloader session on the open port: the chip reset into its ROM bootloader, which
// learns the port's baud rate from the sync byte, then its command codes and the chip's memory map.
#pragma once

#include "firmware/TSTM32.h"
#include "platform/TLog.h"

// Get_Header(entry) at the port's baud rate. A chip that does not acknowledge the sync above
// BOOT_BAUD_SAFE is reset and tried once more at BOOT_BAUD_SAFE, with a line on `log` saying so;
// the port's BautRate then stays there.
bool Connect_Bootloader(TSTM32& chip, TLog& log, TBoot_Entry entry);
