#include "ui/Carbon_Style.h"

#include "ui/Application_Title.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QMetaEnum>
#include <QStyleFactory>

namespace {
constexpr const char* CARBON_RESOURCE = ":/styles/CARBON.palette";

bool Set_Role(QPalette& palette, const QString& line) {
  const QStringList sides = line.split('=');
  if (sides.size() != 2) return false;
  bool known = false;
  const int role = QMetaEnum::fromType<QPalette::ColorRole>().keyToValue(sides[0].trimmed().toLatin1(), &known);
  const QStringList colours = sides[1].split(',');
  if (!known || colours.size() > 2) return false;
  const QColor normal = QColor::fromString(colours[0].trimmed());
  const QColor disabled = colours.size() == 2 ? QColor::fromString(colours[1].trimmed()) : normal;
  if (!normal.isValid() || !disabled.isValid()) return false;
  const auto colour_role = static_cast<QPalette::ColorRole>(role);
  palette.setColor(QPalette::Active, colour_role, normal);
  palette.setColor(QPalette::Inactive, colour_role, normal);
  palette.setColor(QPalette::Disabled, colour_role, disabled);
  return true;
}
}  // namespace

std::optional<QPalette> Parse_Carbon_Palette(const QString& text, QString& problem) {
  QPalette palette;
  const QStringList lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (!Set_Role(palette, line)) {
      problem = QString("line %1 is no colour role: %2").arg(i + 1).arg(line);
      return std::nullopt;
    }
  }
  return palette;
}

void Apply_Carbon_Style(QApplication& application) {
  Q_INIT_RESOURCE(style);  // the palette lives in a static library, whose resources load on request
  QFile file(CARBON_RESOURCE);
  QString problem;
  std::optional<QPalette> palette;
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    problem = file.errorString();
  else
    palette = Parse_Carbon_Palette(QString::fromUtf8(file.readAll()), problem);
  QStyle* fusion = palette ? QStyleFactory::create("Fusion") : nullptr;
  if (!fusion) {
    QMessageBox::critical(nullptr, APPLICATION_TITLE,
                          QString("Cannot apply the visual style Carbon: %1.").arg(problem.isEmpty() ? "no Fusion style" : problem));
    return;
  }
  application.setStyle(fusion);
  application.setPalette(*palette);
}
