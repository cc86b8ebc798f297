// The firmware commands of the "Program Mode" page: choosing an image file, asking for it or for
// the default firmware to be written, and the update that the link supervisor runs when the
// controller waits in its bootloader, with its progress on ProgressBar5.
#pragma once

#include "controller/TVOK_Yeli.h"
#include "firmware/TImage_Flasher.h"
#include "platform/TClock.h"
#include "platform/TLog.h"
#include "ui/TDefault_Firmware.h"
#include "ui/TDialogs.h"
#include "ui/TProgram_Tab.h"
#include "ui/TTimer.h"

#include <filesystem>

// The parts of the main window the commands use.
struct TFirmware_Window {
  QWidget* Owner;
  TProgram_Tab& Tab;
  TLog& Program_Log;
  TTimer& Timer1;
  TDialogs& Dialogs;
  const TFile_Dialog& OpenDialog1;
  TClock& Clock;
};

class TFirmware_Commands {
public:
  // `restore_folder` is read at each "Default firmware".
  TFirmware_Commands(TFirmware_Window window, TVOK_Yeli& controller, const std::filesystem::path& restore_folder);

  void Button2Click();  // Firmware File
  void Button3Click();  // Write
  void Button4Click();  // Default firmware
  // Run by the link supervisor with the window disabled: erase, write, verify, restart the chip.
  void UpdateFirmware();
  // The next update writes the chosen file again; an extracted image is deleted.
  void Forget_Default_Firmware();

  bool Default_Firmware = false;

private:
  void Show_Progress(const TFlash_Progress& progress);

  TFirmware_Window Window_;
  TVOK_Yeli& Controller_;
  const std::filesystem::path& Restore_Folder_;
  QString Firmware_File_;  // as OpenDialog1 holds it
  TDefault_Firmware Default_Image_;
};
