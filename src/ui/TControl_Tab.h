// The "Control Mode" page as laid out: the fan, air, status and hardware groups, the command buttons
// and the control log. What the widgets do lives in TParameter_Panel and TConfig_Commands.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <array>

// One fan duty column: a vertical slider with its value label below it.
struct TFan_Column {
  QSlider* Slider;
  QLabel* Value;
};

class TControl_Tab {
public:
  explicit TControl_Tab(QWidget* page);

  QGroupBox* GroupBox1;                // "  Inflow  "
  std::array<TFan_Column, 6> Inflow;   // S0, S1, S2, S3, SF, SH: TrackBar3, 2, 4, 1, 9, 29
  QLabel* Label19;
  QProgressBar* ProgressBar1;
  QGroupBox* GroupBox2;                // "  Outflow  "
  std::array<TFan_Column, 6> Outflow;  // TrackBar8, 7, 5, 6, 10, 11
  QLabel* Label20;
  QProgressBar* ProgressBar2;

  QGroupBox* GroupBox9;  // "  Air Parameters  "
  QSlider* TrackBar28;   // temperature threshold
  QLabel* Label86;
  QSlider* TrackBar27;   // humidity level
  QLabel* Label87;

  QGroupBox* GroupBox10;  // "  Current Status  "
  QPushButton* Button14;  // "R": reset the filter running time
  QLabel* Label89;        // filter hours
  QLabel* Label91;        // temperature
  QLabel* Label99;        // temperature threshold
  QLabel* Label102;       // humidity
  QLabel* Label103;       // humidity level
  QLabel* Label93;        // bypass
  QLabel* Label95;        // voltage
  QLabel* Label97;        // forced input

  QGroupBox* GroupBox11;  // "  Hardware Config  "
  QLineEdit* Edit5;       // filter alarm time in hours
  QCheckBox* CheckBox6;   // "Bypass"
  QCheckBox* CheckBox1;   // "Invert Bypass"
  QComboBox* ComboBox1;   // tachometer pulses per revolution

  QGroupBox* GroupBox14;
  QPushButton* Button9;   // "Save Config"
  QPushButton* Button8;   // "Open Config"
  QPushButton* Button10;  // "Write Config"

  QPlainTextEdit* Memo2;  // the control log

private:
  void Make_Fan_Group(QGroupBox* group, std::array<TFan_Column, 6>& columns, const char* const (&names)[6][4],
                      const char* speed_label_name, QLabel*& speed_label, const char* bar_name, QProgressBar*& bar);
  void Make_Air_Group();
  void Make_Status_Group();
  void Make_Hardware_Group();
  void Make_Command_Group();
};
