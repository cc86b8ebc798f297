#include "firmware/TFirmUpdTrear.h"

#include "platform/TClock.h"

#include <system_error>

TFirmUpdTrear::TFirmUpdTrear(TSTM32& USTM32, THex_Image image, TClock& clock)
    : Image_(std::move(image)), USTM32(USTM32), Clock_(clock) {}

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

void TFirmUpdTrear::Execute() { Chip_WriteFromFile_ = Flash_Image(USTM32, Image_, Progress_); }
