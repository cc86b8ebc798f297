// Dialogs that answer from a script and remember what they were asked and shown. An unscripted
// question fails the test instead of blocking it.
#pragma once

#include "ui/TDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>

class TScripted_Dialogs final : public TDialogs {
public:
  std::deque<QString> File_Answers;                 // next answers of the file dialogs; "" cancels
  std::deque<bool> Yes_No_Answers;
  std::function<void()> While_Open;                 // runs while a dialog is open (time passing, say)

  std::vector<TFile_Dialog> File_Dialogs;           // the file dialogs shown
  QStringList Questions;
  QStringList Errors;                               // texts of the error boxes shown

  std::optional<QString> Open_File(QWidget* owner, const TFile_Dialog& dialog) override;
  std::optional<QString> Save_File(QWidget* owner, const TFile_Dialog& dialog) override;
  bool Ask_Yes_No(QWidget* owner, const QString& question) override;
  void Show_Error(QWidget* owner, const QString& text) override;

private:
  std::optional<QString> File_Answer(const TFile_Dialog& dialog);
};
