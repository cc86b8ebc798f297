// The firmware commands of the "Program Mode" page: choosing an image file, asking for it or for
// the default firmware to be written, and the update that the link supervisor runs when the
// controller waits in its bootloader, with its progress on ProgressBar5. While an update or the
// archiver runs, the window keeps answering the desktop but takes no input.
#pragma once

#include "controller/TVOK_Yeli.h"
#include "firmware/Firmware_Update.h"
#include "platform/TClock.h"
#include "platform/TLog.h"
#include "ui/TDefault_Firmware.h"
#include "ui/TDialogs.h"
#include "ui/TProgram_Tab.h"
#include "ui/TRequest.h"
#include "ui/TTimer.h"

#include <filesystem>
#include <functional>

// The parts of the main window the commands use.
struct TFirmware_Window {
  QWidget* Owner;
  TProgram_Tab& Tab;
  TLog& Program_Log;
  TTimer& Timer1;
  TDialogs& Dialogs;
  const TFile_Dialog& OpenDialog1;
  TClock& Clock;
  TPump Keep_Alive;             // the window's paints and the desktop's requests, no input
  std::function<void()> Idle;   // an update or the archiver has just ended
  TRequest Request;             // to the link supervisor
};

// The bootloader's rate for the update: the fastest its autobaud takes.
inline constexpr std::uint32_t UPDATE_BAUD = BOOT_BAUD_MAX;

class TFirmware_Commands {
public:
  // `restore_folder` is read at each "Default firmware".
  TFirmware_Commands(TFirmware_Window window, TVOK_Yeli& controller, const std::filesystem::path& restore_folder);

  void Button2Click();  // Firmware File
  void Button3Click();  // Write
  void Button4Click();  // Default firmware
  // Run by the link supervisor with the window disabled: connect, erase, write, verify, restart the chip.
  TUpdate_Outcome UpdateFirmware();
  // The next update writes the chosen file again; an extracted image is deleted.
  void Forget_Default_Firmware();
  // An update or the archiver runs: the window must not close before it has ended.
  bool Busy() const { return Busy_; }

  bool Default_Firmware = false;

private:
  class TBusy;
  void Show_Progress(const TFlash_Progress& progress);

  TFirmware_Window Window_;
  TVOK_Yeli& Controller_;
  const std::filesystem::path& Restore_Folder_;
  QString Firmware_File_;  // as OpenDialog1 holds it
  TDefault_Firmware Default_Image_;
  bool Busy_ = false;
};
