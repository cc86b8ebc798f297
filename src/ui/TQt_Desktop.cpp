#include "ui/TDesktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void TQt_Desktop::Open_Document(const std::filesystem::path& document) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(document, error)) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
}
