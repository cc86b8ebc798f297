// One firmware update through the bootloader that identification left running: the image file is
// checked before the flash is erased, the worker writes and verifies it while the calling thread
// waits and adds a progress dot per wait, and the chip restarts into its application. Every step
// is reported to the log.
#pragma once

#include "firmware/TImage_Flasher.h"
#include "firmware/TSTM32.h"
#include "platform/TLog.h"

#include <functional>
#include <string>

enum TUpdate_End : std::uint8_t {
  UPDATE_NOT_CONNECTED,   // the port could not be opened; nothing was sent
  UPDATE_CHIP_RESTARTED,  // the chip was reset into its application and the port closed
};

// Runs on the waiting thread after each progress dot.
using TUpdate_Waiting = std::function<void(const TFlash_Progress&)>;

// `clock` is the one the chip's port waits on.
TUpdate_End Update_Firmware(TSTM32& chip, TClock& clock, const std::string& file, TLog& log,
                            const TUpdate_Waiting& waiting);
