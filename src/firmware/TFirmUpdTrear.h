// The worker thread that writes and verifies a firmware image while the interface thread waits:
// created without running, given its inputs, then started. Whatever happens in it, its outcome is
// final before its finished flag is set, and it stays readable until the next worker replaces it.
#pragma once

#include "firmware/Flash_Image.h"
#include "firmware/THex_Image.h"
#include "platform/TStop_Flag.h"

#include <atomic>
#include <string>
#include <thread>

class TClock;

class TFirmUpdTrear {
public:
  // `clock` is the one the chip's port waits on: the thread announces itself to it. `stop`, when
  // given, ends the writing before its next block.
  TFirmUpdTrear(TBlock_Device& USTM32, THex_Image image, TClock& clock, const TStop_Flag* stop = nullptr);
  ~TFirmUpdTrear();  // waits for the thread to end

  // False when the system could not start a thread: the worker then counts as finished.
  bool Start();
  bool Finished() const { return Finished_.load(std::memory_order_acquire); }
  // The outcome; final once Finished() is true.
  const TFlash_Outcome& Chip_WriteFromFile() const { return Chip_WriteFromFile_; }
  const TFlash_Progress& Progress() const { return Progress_; }
  // What went wrong in the writer itself, with FLASH_WRITER_FAILED.
  const std::string& Failure() const { return Failure_; }

private:
  void Execute();

  TFlash_Outcome Chip_WriteFromFile_;
  std::string Failure_;
  const THex_Image Image_;
  TBlock_Device& USTM32;
  TClock& Clock_;
  const TStop_Flag* Stop_;
  TFlash_Progress Progress_;
  std::atomic<bool> Finished_{false};
  std::thread Thread_;
};
