// The dialogs of the running program: Qt's file dialogs and message boxes.
#pragma once

#include "ui/TDialogs.h"

#include <QStringList>

class TQt_Dialogs final : public TDialogs {
public:
  std::optional<QString> Open_File(QWidget* owner, const TFile_Dialog& dialog) override;
  std::optional<QString> Save_File(QWidget* owner, const TFile_Dialog& dialog) override;
  bool Ask_Yes_No(QWidget* owner, const QString& question) override;
  void Show_Error(QWidget* owner, const QString& text) override;
};

// "A|a1;a2|B|b" as Qt's name filters: "A (a1 a2)", "B (b)".
QStringList Name_Filters(const QString& filter);
