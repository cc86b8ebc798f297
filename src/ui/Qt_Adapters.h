// What the window asks of the desktop, as the running program does it on Qt: file dialogs and
// message boxes, the desktop's viewer for a document, and timers on Qt's event loop. Tests put
// scripted dialogs and virtual timers in their place.
#pragma once

#include "ui/TDesktop.h"
#include "ui/TDialogs.h"
#include "ui/TTimer.h"

#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>

class TQt_Dialogs final : public TDialogs {
public:
  std::optional<QString> Open_File(QWidget* owner, const TFile_Dialog& dialog) override;
  std::optional<QString> Save_File(QWidget* owner, const TFile_Dialog& dialog) override;
  bool Ask_Yes_No(QWidget* owner, const QString& question) override;
  void Show_Error(QWidget* owner, const QString& text) override;
};

// "A|a1;a2|B|b" as Qt's name filters: "A (a1 a2)", "B (b)".
QStringList Name_Filters(const QString& filter);

class TQt_Desktop final : public TDesktop {
public:
  bool Open_Document(const std::filesystem::path& document) override;
};

class TQt_Timer_Engine final : public TTimer_Engine {
public:
  void Enabled_Changed(TTimer& timer) override;
  void Forget(TTimer& timer) override;
  void Pump() override;
  void Keep_Alive() override;

private:
  std::map<TTimer*, std::unique_ptr<QTimer>> Timers_;
  bool Holding_ = false;  // in Keep_Alive: ticks that come now are dropped
};
