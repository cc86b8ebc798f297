// The window's modal dialogs: file choosers, the exit question and the error box. Tests put scripted
// answers in their place.
#pragma once

#include <QString>

#include <optional>

class QWidget;

struct TFile_Dialog {
  QString Title;
  QString Filter;            // "description|pattern;pattern|description|pattern"
  QString Default_Suffix;    // added to a saved name without one; empty for none
};

class TDialogs {
public:
  virtual ~TDialogs() = default;
  // The chosen path, or nothing when the user cancels.
  virtual std::optional<QString> Open_File(QWidget* owner, const TFile_Dialog& dialog) = 0;
  virtual std::optional<QString> Save_File(QWidget* owner, const TFile_Dialog& dialog) = 0;
  // Yes (true) or No.
  virtual bool Ask_Yes_No(QWidget* owner, const QString& question) = 0;
  virtual void Show_Error(QWidget* owner, const QString& text) = 0;
};
