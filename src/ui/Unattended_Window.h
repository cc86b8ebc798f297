// Dialogs and a desktop for a window that a program drives by itself, with nobody at it (the
// benchmarks, the screenshots): no file is chosen, every question is answered yes, an error box
// ends the run, and no document opens.
#pragma once

#include "ui/TDesktop.h"
#include "ui/TDialogs.h"

#include <QString>

#include <stdexcept>

class TNo_Dialogs final : public TDialogs {
public:
  std::optional<QString> Open_File(QWidget*, const TFile_Dialog&) override { return std::nullopt; }
  std::optional<QString> Save_File(QWidget*, const TFile_Dialog&) override { return std::nullopt; }
  bool Ask_Yes_No(QWidget*, const QString&) override { return true; }
  void Show_Error(QWidget*, const QString& text) override { throw std::runtime_error(text.toStdString()); }
};

class TNo_Desktop final : public TDesktop {
public:
  bool Open_Document(const std::filesystem::path&) override { return false; }
};
