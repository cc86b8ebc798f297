#include "ui/TProgram_Tab.h"

#include "ui/Make_Widget.h"
#include "ui/TMemo_Log.h"

TProgram_Tab::TProgram_Tab(QWidget* page)
    : Memo1(Make_Log_Memo(page, "Memo1", {1, 0, 1081, 306})),
      GroupBox12(Make_Widget<QGroupBox>(page, "GroupBox12", "Driver Mode", {1088, 3, 86, 70})),
      CheckBox4(Make_Widget<QCheckBox>(GroupBox12, "CheckBox4", "Auto", {8, 18, 70, 17})),
      Button1(Make_Widget<QPushButton>(GroupBox12, "Button1", "Change", {8, 40, 70, 22})),
      Button2(Make_Widget<QPushButton>(page, "Button2", "Firmware File", {1088, 79, 86, 20})),
      Button3(Make_Widget<QPushButton>(page, "Button3", "Write", {1088, 105, 86, 20})),
      // Wider than the column above it, about its centre, so the caption fits in the wider fonts.
      Button4(Make_Widget<QPushButton>(page, "Button4", "Default firmware", {1083, 131, 97, 25})),
      ProgressBar5(Make_Widget<QProgressBar>(page, "ProgressBar5", {1088, 162, 86, 17})) {
  Button1->setEnabled(false);
  Button2->setEnabled(false);
  Button3->setEnabled(false);
  ProgressBar5->hide();
}
