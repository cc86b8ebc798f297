// The two flags of the Control Mode panel, owned by the main window: edits not yet sent to the
// controller, and changes not yet committed with "Write Config".
#pragma once

struct TPanel_Flags {
  bool& Param_Changed;       // the link supervisor writes the settings back on its next tick
  bool& Config_Not_Written;  // the exit question is armed

  void Raise() {
    Param_Changed = true;
    Config_Not_Written = true;
  }
};
