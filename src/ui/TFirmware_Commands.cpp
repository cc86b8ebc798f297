#include "ui/TFirmware_Commands.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
constexpr const char* EXTRACT_ERROR = "Default firmware extract error";
}

// For the length of an update or an extraction; the window learns when it is over.
class TFirmware_Commands::TBusy {
public:
  explicit TBusy(TFirmware_Commands& commands) : Commands_(commands) { Commands_.Busy_ = true; }
  ~TBusy() {
    Commands_.Busy_ = false;
    if (Commands_.Window_.Idle) Commands_.Window_.Idle();
  }
  TBusy(const TBusy&) = delete;
  TBusy& operator=(const TBusy&) = delete;

private:
  TFirmware_Commands& Commands_;
};

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
  Window_.Request(VOK_TO_UPDATE_FIRM);
  Window_.Timer1.Restart();
}

// Without an image nothing is requested, so the chip keeps its firmware.
void TFirmware_Commands::Button4Click() {
  Forget_Default_Firmware();
  const TBusy busy(*this);
  if (const std::optional<std::string> problem = Default_Image_.Extract(Restore_Folder_, Window_.Keep_Alive)) {
    Window_.Program_Log.Add(EXTRACT_ERROR);
    Window_.Program_Log.Add(*problem);
  } else {
    Default_Firmware = true;
    Window_.Request(VOK_TO_UPDATE_FIRM);
  }
  Window_.Timer1.Restart();
}

TUpdate_Outcome TFirmware_Commands::UpdateFirmware() {
  const TBusy busy(*this);
  TProgram_Tab& tab = Window_.Tab;
  Window_.Timer1.Set_Enabled(false);
  tab.Button1->setEnabled(false);
  tab.Button3->setEnabled(false);
  tab.Button2->setEnabled(false);
  tab.Button4->hide();
  const std::string file =
      Default_Firmware ? Default_Image_.Default_Image() : QFile::encodeName(Firmware_File_).toStdString();
  const TUpdate_Outcome outcome =
      Update_Firmware(Controller_, Window_.Clock, {file, UPDATE_BAUD}, Window_.Program_Log,
                      [this](const TFlash_Progress& progress) {
                        Show_Progress(progress);
                        if (Window_.Keep_Alive) Window_.Keep_Alive();
                      })
          .Outcome;
  tab.ProgressBar5->hide();
  Forget_Default_Firmware();
  Window_.Timer1.Set_Enabled(true);
  return outcome;
}

void TFirmware_Commands::Forget_Default_Firmware() {
  Default_Firmware = false;
  Default_Image_.Release();
}

// Painted at once, as the keep-alive that follows may find nothing else to do.
void TFirmware_Commands::Show_Progress(const TFlash_Progress& progress) {
  QProgressBar* bar = Window_.Tab.ProgressBar5;
  bar->setRange(0, static_cast<int>(std::max(1u, progress.Total.load())));
  bar->setValue(static_cast<int>(progress.Done.load()));
  bar->show();
  bar->repaint();
}
