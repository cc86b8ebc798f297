// The widgets of the "Demo" page, laid out at their places with their captions, ranges and
// initial values. The behaviour behind them is TDemo_Tab's.
#pragma once

#include "ui/TDemo_Picture.h"
#include "ui/TDemo_Step.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <array>

// The six settings of one fan, in TDemo_Setting order, and its speed bar and text.
struct TDemo_Fan_Widgets {
  QGroupBox* Group;
  std::array<QSlider*, SETTING_COUNT> Sliders;
  std::array<QLabel*, SETTING_COUNT> Percent_Labels;  // below the sliders
  QProgressBar* Bar;
  QLabel* Speed_Label;
};

class TDemo_Layout {
public:
  explicit TDemo_Layout(QWidget* page);

  QWidget* Page;
  TDemo_Fan_Widgets Inflow;   // GroupBox3: TrackBar15, 14, 12, 13, 16, 24; ProgressBar3; Label47
  TDemo_Fan_Widgets Outflow;  // GroupBox4: TrackBar20, 19, 17, 18, 21, 30; ProgressBar4; Label58

  QGroupBox* GroupBox6;
  QSlider* TrackBar22;  // switch-off temperature
  QLabel* Label73;
  QSlider* TrackBar25;  // humidity level
  QLabel* Label78;

  QGroupBox* GroupBox8;
  QLabel* Label67;  // filter counter
  QLabel* Label68;  // temperature
  QLabel* Label76;  // switch-off temperature
  QLabel* Label81;  // humidity
  QLabel* Label82;  // humidity level
  QLabel* Label69;  // bypass
  QLabel* Label70;  // humidity as a voltage
  QLabel* Label71;  // forced-ventilation contact

  QGroupBox* GroupBox7;
  QLineEdit* FilterTimeAlarm;
  QPushButton* Button11;
  QCheckBox* CheckBox2;  // a bypass damper is fitted

  QGroupBox* GroupBox5;
  QFrame* Panel3;
  QSlider* TrackBar23;  // temperature
  QSlider* TrackBar26;  // humidity
  QCheckBox* CheckBox3;  // ForceIN
  QCheckBox* CheckBox5;  // Alarm

  // On Panel3, in drawing order: black speeds, filter, valve and triangle, then their second versions.
  TDemo_Picture* Image13;
  TDemo_Picture* Image1;
  TDemo_Picture* Image2;
  TDemo_Picture* Image3;
  TDemo_Picture* Image4;
  TDemo_Picture* Image5;
  TDemo_Picture* Image6;
  TDemo_Picture* Image7;
  TDemo_Picture* Image8;
  TDemo_Picture* Image9;
  TDemo_Picture* Image10;
  TDemo_Picture* Image11;
  TDemo_Picture* Image12;

private:
  void Lay_Out_Air_Parameters();
  void Lay_Out_Current_Status();
  void Lay_Out_Hardware_Config();
  void Lay_Out_Control();
  TDemo_Picture* Picture(const char* name, QPoint place, TDemo_Symbol symbol, TDemo_Ink ink, bool shown);
};
