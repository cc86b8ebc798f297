#include "ui/Error_Box.h"

#include <QApplication>
#include <QWidget>

#include <exception>

QString Error_Box_Text(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + '.';
  return message;
}

void Run_Guarded(TDialogs& dialogs, const std::function<void()>& handler) {
  QString message;
  try {
    handler();
    return;
  } catch (const std::exception& error) {
    message = QString::fromUtf8(error.what());
  } catch (...) {
    message = "Unexpected error";
  }
  dialogs.Show_Error(QApplication::activeWindow(), Error_Box_Text(message));
}
