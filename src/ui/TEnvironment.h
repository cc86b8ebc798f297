// What the main window is given from outside: time, timers, dialogs, the desktop, and the folders
// it looks things up in. The program and the tests each assemble their own.
#pragma once

#include "platform/TClock.h"
#include "platform/TManufacturing.h"
#include "platform/TUsbXpress.h"
#include "ui/TDesktop.h"
#include "ui/TDialogs.h"
#include "ui/TTimer.h"

#include <filesystem>

struct TEnvironment {
  TUsbXpress& UsbXpress;
  TManufacturing& Manufacturing;
  TClock& Clock;
  TTimer_Engine& Timers;
  TDialogs& Dialogs;
  TDesktop& Desktop;
  std::filesystem::path Program_Folder;  // the folder of the executable: Help/ lies here or in the installed share folder
  std::filesystem::path Restore_Folder{};  // the default firmware and its archiver
};
