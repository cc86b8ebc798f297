#include "ui/TCarbon_Style.h"

#include "ui/TApplication_Title.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QStyleFactory>

namespace {
constexpr const char* CARBON_RESOURCE = ":/styles/CARBON.qss";
}

void Apply_Carbon_Style(QApplication& application) {
  Q_INIT_RESOURCE(style);  // the sheet lives in a static library, whose resources load on request
  QFile sheet(CARBON_RESOURCE);
  if (!sheet.open(QIODevice::ReadOnly | QIODevice::Text)) {
    QMessageBox::critical(nullptr, APPLICATION_TITLE,
                          QString("Cannot apply the visual style Carbon: %1.").arg(sheet.errorString()));
    return;
  }
  // Fusion draws every control from the palette and the sheet alike on every desktop.
  if (QStyle* fusion = QStyleFactory::create("Fusion")) application.setStyle(fusion);
  application.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}
