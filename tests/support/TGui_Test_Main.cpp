// The main of every test program that shows widgets: one QApplication on Qt's offscreen platform, the
// window fonts, and the C locale, so tests read the same on every machine.
#include "ui/Window_Fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QLocale::setDefault(QLocale::c());
  QApplication application(argc, argv);
  Use_Window_Fonts();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
