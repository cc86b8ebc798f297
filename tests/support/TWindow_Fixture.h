// The real main window on the virtual clock, with scripted dialogs and a desktop that records what
// it was asked to open. Time passes only through Run_For and the handlers' own waits.
#pragma once

#include "platform/TVirtual_Clock.h"
#include "support/TScripted_Dialogs.h"
#include "support/TScripted_Manufacturing.h"
#include "support/TScripted_UsbXpress.h"
#include "ui/TForm1.h"
#include "ui/TVirtual_Timer_Engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

class TRecording_Desktop final : public TDesktop {
public:
  std::vector<std::filesystem::path> Opened;
  bool Fail = false;     // throw, as a broken desktop integration might
  bool Viewer = true;    // false: no viewer can be started
  bool Open_Document(const std::filesystem::path& document) override {
    if (Fail) throw std::runtime_error("No application is registered for " + document.filename().string());
    Opened.push_back(document);
    return Viewer;
  }
};

class TWindow_Fixture : public testing::Test {
protected:
  TWindow_Fixture();
  ~TWindow_Fixture() override;

  void Run_For(TDuration how_long) { Timers.Run_For(how_long); }
  QStringList Program_Log() const { return Form->Program_Log.Lines(); }
  QStringList Control_Log() const { return Form->Control_Log.Lines(); }
  template <class TWidget>
  TWidget* Widget(const char* name) const {
    auto* widget = Form->findChild<TWidget*>(name);
    if (!widget) ADD_FAILURE() << "no widget " << name;
    return widget;
  }

  TScripted_UsbXpress UsbXpress;
  TScripted_Manufacturing Manufacturing;
  TVirtual_Clock Clock;
  TVirtual_Timer_Engine Timers{Clock};
  TScripted_Dialogs Dialogs;
  TRecording_Desktop Desktop;
  std::filesystem::path Program_Folder = "/opt/yeli";
  TEnvironment Environment{UsbXpress, Manufacturing, Clock, Timers, Dialogs, Desktop, Program_Folder};
  std::unique_ptr<TForm1> Form;
};
