#include "ui/TConfig_Commands.h"

#include "bridge/TDevice_Discovery.h"
#include "controller/Config_File.h"
#include "controller/Controller_Session.h"
#include "controller/Setting_Differences.h"

#include <QFile>

namespace {
constexpr const char* LOAD_FAILED = "Error load config from file";

std::filesystem::path File_Path(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The system's description of the failure, with the file it concerns.
[[noreturn]] void Rethrow_With_Path(const char* action, const QString& path, const TFile_Error& error) {
  throw TFile_Error(QString("Cannot %1 the configuration file %2: %3").arg(action, path, error.what()).toStdString());
}
}  // namespace

TConfig_Commands::TConfig_Commands(TControl_Tab& tab, TVOK_Yeli& controller, TParameter_Panel& panel,
                                   TLog& control_log, TConfig_Dialogs dialogs, TPanel_Flags flags, TRequest request,
                                   const TGuard& guard)
    : Controller_(controller), Panel_(panel), Log_(control_log), Dialogs_(dialogs), Flags_(flags),
      Request_(std::move(request)) {
  Connect_Guarded(guard, tab.Button9, &QPushButton::clicked, &Context_, [this] { Button9Click(); });
  Connect_Guarded(guard, tab.Button8, &QPushButton::clicked, &Context_, [this] { Button8Click(); });
  Connect_Guarded(guard, tab.Button10, &QPushButton::clicked, &Context_, [this] { Button10Click(); });
  Connect_Guarded(guard, tab.Button14, &QPushButton::clicked, &Context_, [this] { Button14Click(); });
}

// The supervisor stores the settings once the link is open and logs the outcome; the exit question
// stays armed until the controller has confirmed the store.
void TConfig_Commands::Button10Click() { Request_(VOK_TO_SAVE_PARAM); }

// Runs in any link state and leaves the supervisor's state and request alone. A file that cannot be
// read ends the command with the error box before anything is sent, and a file with a setting the
// controller cannot hold is refused; the record stays as it was. Success is logged only once the
// controller has reported every setting back as the file gave it.
void TConfig_Commands::Button8Click() {
  Log_.Clear();
  const auto path = Dialogs_.Dialogs.Open_File(Dialogs_.Owner, Dialogs_.Open);
  if (!path) return;
  // The scan for the bridge takes the last of several, which need not be the controller the panel
  // shows: with more than one attached the file goes to none, and the link stays as it is.
  if (Controller_.Get_Num_Devices() == SI_SUCCESS && Controller_.NumDevices > 1) {
    Log_Several_Devices(Log_);
    return;
  }
  if (const TSequence_Stage stage = Open_Link(Controller_, LINE_8N1); stage != STAGE_DONE)
    return Log_Open_Failure(Controller_, stage, Log_);
  TVOK_Prop file;
  try {
    Read_Config_File(File_Path(*path), file);
  } catch (const TFile_Error& error) {
    Rethrow_With_Path("read", *path, error);
  }
  if (const std::string problem = Unsendable_Setting(file); !problem.empty()) {
    Log_.Add(LOAD_FAILED);
    return Log_.Add(problem);
  }
  switch (const TLoad_Result load = Load_Settings(Controller_, file); load.Stage) {
    case LOAD_NOT_WRITTEN: return Log_.Add(LOAD_FAILED);
    case LOAD_NOT_READ: return Log_.Add("Error read config");
    case LOAD_NOT_TAKEN:
      Log_.Add(LOAD_FAILED);
      return Log_.Add("The controller did not take the file's settings: " + load.Differences);
    case LOAD_DONE: break;
  }
  Log_.Add("Load config from file OK");
  Log_.Add("read config OK");
  Panel_.Update_Visual_State();
}

// Works without a connection: the record as last read, with the edits not yet sent.
void TConfig_Commands::Button9Click() {
  const auto path = Dialogs_.Dialogs.Save_File(Dialogs_.Owner, Dialogs_.Save);
  if (!path) return;
  Log_.Clear();
  try {
    Write_Config_File(File_Path(*path), Controller_.Prop);
  } catch (const TFile_Error& error) {
    Rethrow_With_Path("write", *path, error);
  }
  Log_.Add("Save current config to file OK");
}

// The next write-back sends the reset once, however often it was asked for.
void TConfig_Commands::Button14Click() {
  Controller_.ResTime = true;
  Flags_.Raise();
}

void TConfig_Commands::Hot_Key(int id) {
  switch (id) {
    case 0: return Button9Click();
    case 1: return Button8Click();
    case 2: return Button10Click();
    case 3: return Button14Click();
    default: return;
  }
}
