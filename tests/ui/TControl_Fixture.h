// The real window with its "Control Mode" page shown and the window active, so the panel's widgets
// take the keyboard focus. Tests put a record into the controller object and show it with the
// panel's refresh, as the link supervisor does after a full read.
#pragma once

#include "support/TWindow_Fixture.h"

#include <QApplication>
#include <QtTest/QTest>

class TControl_Fixture : public TWindow_Fixture {
protected:
  TControl_Fixture() {
    Form->Show_Page(Form->TabSheet2);
    QApplication::setActiveWindow(Form.get());
  }

  TControl_Tab& Tab() { return Form->Control; }
  TVOK_Prop& Prop() { return Form->Controller->Prop; }

  // A record that the page shows without moving a widget: what the window starts with.
  static TVOK_Prop As_Started() {
    TVOK_Prop prop;
    prop.T_Off = 4;
    prop.H_Lvl = 50;
    prop.B_P_E = 1;
    return prop;
  }

  void Refresh(const TVOK_Prop& prop) {
    Prop() = prop;
    Form->Panel->Update_Visual_State();
  }

  void Clear_Flags() { Form->Param_Changed = Form->Config_Not_Written = false; }
  // Param_Changed and Config_Not_Written, which every edit raises together.
  std::pair<bool, bool> Flags() const { return {Form->Param_Changed, Form->Config_Not_Written}; }
  static constexpr std::pair<bool, bool> RAISED{true, true};
  static constexpr std::pair<bool, bool> LOWERED{false, false};
};
