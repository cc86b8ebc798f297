// The Control Mode commands. Write Config and the filter reset leave a request for the link
// supervisor's next tick; Open Config loads a configuration file into the controller itself; Save
// Config only writes a file. Every message goes to the control log.
#pragma once

#include "controller/TVOK_Yeli.h"
#include "platform/TLog.h"
#include "ui/TControl_Tab.h"
#include "ui/TDialogs.h"
#include "ui/TGuard.h"
#include "ui/TPanel_Flags.h"
#include "ui/TParameter_Panel.h"
#include "ui/TRequest.h"

// The file choosers of the commands.
struct TConfig_Dialogs {
  TDialogs& Dialogs;
  QWidget* Owner;
  const TFile_Dialog& Open;  // OpenDialog2
  const TFile_Dialog& Save;  // SaveDialog1
};

class TConfig_Commands {
public:
  TConfig_Commands(TControl_Tab& tab, TVOK_Yeli& controller, TParameter_Panel& panel, TLog& control_log,
                   TConfig_Dialogs dialogs, TPanel_Flags flags, TRequest request, const TGuard& guard);

  void Button10Click();  // Write Config
  void Button8Click();   // Open Config
  void Button9Click();   // Save Config
  void Button14Click();  // reset the filter running time

  // The hot keys while the Control Mode page is shown: 0 Save, 1 Open, 2 Write, 3 filter reset.
  void Hot_Key(int id);

private:
  TVOK_Yeli& Controller_;
  TParameter_Panel& Panel_;
  TLog& Log_;
  TConfig_Dialogs Dialogs_;
  TPanel_Flags Flags_;
  TRequest Request_;
  QObject Context_;  // disconnects the buttons when the commands go
};
