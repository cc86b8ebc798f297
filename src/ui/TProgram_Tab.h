// The "Program Mode" page: the program log, the driver-mode group and the firmware buttons.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

class TProgram_Tab {
public:
  explicit TProgram_Tab(QWidget* page);

  QPlainTextEdit* Memo1;
  QGroupBox* GroupBox12;
  QCheckBox* CheckBox4;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QPushButton* Button4;
  QProgressBar* ProgressBar5;  // the share of a firmware update done; hidden when idle
};
