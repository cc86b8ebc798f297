// The real window on the virtual clock with its "Demo" page shown, and the mouse on its pictures.
#pragma once

#include "support/TWindow_Fixture.h"

#include <QShortcut>
#include <QtTest/QTest>

#include <chrono>

class TDemo_Fixture : public TWindow_Fixture {
protected:
  TDemo_Fixture() { Form->Show_Page(Form->TabSheet3); }

  TDemo_Tab& Demo() { return Form->Demo; }
  // The simulation steps on a 400 ms grid from the window's creation: this runs exactly one step.
  void Step() { Run_For(std::chrono::milliseconds(400)); }
  static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
  // Ctrl+S (0), Ctrl+O (1), Ctrl+W (2), Ctrl+R (3), as pressed: under the window's error box.
  void Hot_Key(int id) { emit Widget<QShortcut>(qPrintable(QString("HotKey%1").arg(id)))->activated(); }
  // Which pictures of Panel3 show, by name.
  QStringList Shown_Pictures() const {
    QStringList shown;
    for (const TDemo_Picture* picture : Form->Demo.Panel3->findChildren<TDemo_Picture*>())
      if (!picture->isHidden() && picture->objectName() != "Image13") shown << picture->objectName();
    shown.sort();
    return shown;
  }
};
