#include "ui/TDesktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

// On Linux, Qt hands the document to xdg-open (or the desktop portal): false when none can be started.
bool TQt_Desktop::Open_Document(const std::filesystem::path& document) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
}
