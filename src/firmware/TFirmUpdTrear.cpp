#include "firmware/TFirmUpdTrear.h"

#include "platform/TClock.h"

#include <exception>
#include <system_error>

TFirmUpdTrear::TFirmUpdTrear(TBlock_Device& USTM32, THex_Image image, TClock& clock, const TStop_Flag* stop)
    : Image_(std::move(image)), USTM32(USTM32), Clock_(clock), Stop_(stop) {}

TFirmUpdTrear::~TFirmUpdTrear() {
  if (Thread_.joinable()) Thread_.join();
}

bool TFirmUpdTrear::Start() {
  Clock_.Thread_Starting();
  try {
    Thread_ = std::thread([this] {
      Execute();
      Finished_.store(true, std::memory_order_release);
      Clock_.Thread_Ended();
    });
    return true;
  } catch (const std::system_error&) {
    Clock_.Thread_Ended();
    Finished_.store(true, std::memory_order_release);
    return false;
  }
}

// An exception must not end the process in the middle of a write: it ends the writing, and the
// waiting thread reports it.
void TFirmUpdTrear::Execute() {
  try {
    Chip_WriteFromFile_ = Flash_Image(USTM32, Image_, Progress_, Stop_);
  } catch (const std::exception& failure) {
    Failure_ = failure.what();
    Chip_WriteFromFile_ = {FLASH_WRITER_FAILED, 0};
  } catch (...) {
    Failure_ = "an unknown error";
    Chip_WriteFromFile_ = {FLASH_WRITER_FAILED, 0};
  }
}
