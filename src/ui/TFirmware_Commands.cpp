#include "ui/TFirmware_Commands.h"

#include "firmware/TFirmware_Update.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
constexpr const char* EXTRACT_ERROR = "Default firmware extract error";
}

TFirmware_Commands::TFirmware_Commands(TFirmware_Window window, TVOK_Yeli& controller,
                                       const std::filesystem::path& restore_folder)
    : Window_(window), Controller_(controller), Restore_Folder_(restore_folder) {}

// The supervisor's next tick comes a full interval later, whatever the user chose.
void TFirmware_Commands::Button2Click() {
  const std::optional<QString> chosen = Window_.Dialogs.Open_File(Window_.Owner, Window_.OpenDialog1);
  if (chosen && !chosen->isEmpty()) {
    Firmware_File_ = QFileInfo(*chosen).absoluteFilePath();
    Window_.Tab.Button3->setEnabled(true);
    Window_.Program_Log.Add(Firmware_File_.toStdString());
  }
  Window_.Timer1.Restart();
}

// "Write" writes the chosen file, also after a default-firmware request that was never carried out.
void TFirmware_Commands::Button3Click() {
  Forget_Default_Firmware();
  Controller_.VOK_Action = VOK_TO_UPDATE_FIRM;
  Window_.Timer1.Restart();
}

// Without an image nothing is requested, so the chip keeps its firmware.
void TFirmware_Commands::Button4Click() {
  Forget_Default_Firmware();
  if (const std::optional<std::string> problem = Default_Image_.Extract(Restore_Folder_)) {
    Window_.Program_Log.Add(EXTRACT_ERROR);
    Window_.Program_Log.Add(*problem);
  } else {
    Default_Firmware = true;
    Controller_.VOK_Action = VOK_TO_UPDATE_FIRM;
  }
  Window_.Timer1.Restart();
}

void TFirmware_Commands::UpdateFirmware() {
  TProgram_Tab& tab = Window_.Tab;
  Window_.Timer1.Set_Enabled(false);
  tab.Button1->setEnabled(false);
  tab.Button3->setEnabled(false);
  tab.Button2->setEnabled(false);
  tab.Button4->hide();
  const std::string file =
      Default_Firmware ? Default_Image_.Default_Image() : QFile::encodeName(Firmware_File_).toStdString();
  const TUpdate_End end = Update_Firmware(Controller_, Window_.Clock, file, Window_.Program_Log,
                                          [this](const TFlash_Progress& progress) { Show_Progress(progress); });
  tab.ProgressBar5->hide();
  if (end == UPDATE_CHIP_RESTARTED) Controller_.VOK_State = VOK_CLOSE;
  Forget_Default_Firmware();
  Window_.Timer1.Set_Enabled(true);
}

void TFirmware_Commands::Forget_Default_Firmware() {
  Default_Firmware = false;
  Default_Image_.Release();
}

// Painted at once: the interface thread handles no events while it waits for the worker.
void TFirmware_Commands::Show_Progress(const TFlash_Progress& progress) {
  QProgressBar* bar = Window_.Tab.ProgressBar5;
  bar->setRange(0, static_cast<int>(std::max(1u, progress.Total.load())));
  bar->setValue(static_cast<int>(progress.Done.load()));
  bar->show();
  bar->repaint();
}
