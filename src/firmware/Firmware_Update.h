// One firmware update in a bootloader session of its own: the port opened at the request's baud
// rate and the chip restarted into its bootloader and identified; the image file checked for this
// chip before the flash is erased; the worker writes and verifies it while the calling thread waits
// and adds a progress dot per UPDATE_DOT; a write or read-back that fails above 38400 baud is done
// once more from the erase at 38400; and the chip restarts into its application. Every step is
// reported to the log.
#pragma once

#include "firmware/Boot_Baud.h"
#include "firmware/Flash_Image.h"
#include "firmware/TSTM32.h"
#include "platform/TLog.h"
#include "platform/TStop_Flag.h"

#include <functional>
#include <memory>
#include <string>

// Each but UPDATE_NOT_CONNECTED ends with the chip reset into its application and the port closed.
enum TUpdate_Outcome : std::uint8_t {
  UPDATE_NOT_CONNECTED,  // the port could not be opened; nothing was sent
  UPDATE_NO_BOOTLOADER,  // the bootloader did not answer; nothing was erased
  UPDATE_UNKNOWN_CHIP,   // no family of the table: its flash is unknown, nothing was erased
  UPDATE_BAD_FILE,       // the file is no image for this chip's flash; nothing was erased
  UPDATE_CANCELLED,      // stopped on request before the erase
  UPDATE_FAILED,         // the erase or the writing failed: the flash holds no whole image
  UPDATE_STOPPED,        // stopped on request during the writing: the flash holds no whole image
  UPDATE_WRITTEN,        // written and verified
};

// The flash may hold part of an image, which never identifies as the new firmware: the engineer
// must write the firmware again.
inline bool Leaves_Partial_Image(TUpdate_Outcome outcome) {
  return outcome == UPDATE_FAILED || outcome == UPDATE_STOPPED;
}

struct TUpdate_Request {
  std::string File;
  std::uint32_t Baud = BOOT_BAUD_MAX;
  const TStop_Flag* Stop = nullptr;  // looked at before the erase and before each block
  // The file's text, read once for several boards so that every one writes the same image; without
  // it the file is read when the chip is known.
  std::shared_ptr<const std::string> Text = nullptr;
};

struct TUpdate_Result {
  TUpdate_Outcome Outcome = UPDATE_NOT_CONNECTED;
  std::uint32_t Baud = 0;  // the rate the session ended at: below the request's after a fall-back
};

// Runs on the waiting thread every UPDATE_LOOK while the worker writes.
using TUpdate_Waiting = std::function<void(const TFlash_Progress&)>;

// `clock` is the one the chip's port waits on. The port's BautRate is back at BOOT_BAUD_SAFE
// afterwards.
TUpdate_Result Update_Firmware(TSTM32& chip, TClock& clock, const TUpdate_Request& request, TLog& log,
                               const TUpdate_Waiting& waiting);
