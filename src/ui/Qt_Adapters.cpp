#include "ui/Qt_Adapters.h"

#include "ui/Application_Title.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {
std::optional<QString> Run(QFileDialog& chooser) {
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = chooser.selectedFiles().first();
  if (path.isEmpty()) return std::nullopt;
  return path;
}

void Set_Up(QFileDialog& chooser, const TFile_Dialog& dialog) {
  chooser.setNameFilters(Name_Filters(dialog.Filter));
  if (!dialog.Default_Suffix.isEmpty()) chooser.setDefaultSuffix(dialog.Default_Suffix.mid(dialog.Default_Suffix.startsWith('.') ? 1 : 0));
}
}  // namespace

QStringList Name_Filters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts))
      if (!pattern.trimmed().isEmpty()) patterns << pattern.trimmed();
    filters << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

std::optional<QString> TQt_Dialogs::Open_File(QWidget* owner, const TFile_Dialog& dialog) {
  QFileDialog chooser(owner, dialog.Title);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::ExistingFile);
  Set_Up(chooser, dialog);
  return Run(chooser);
}

std::optional<QString> TQt_Dialogs::Save_File(QWidget* owner, const TFile_Dialog& dialog) {
  QFileDialog chooser(owner, dialog.Title);
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setOption(QFileDialog::DontConfirmOverwrite);
  Set_Up(chooser, dialog);
  return Run(chooser);
}

bool TQt_Dialogs::Ask_Yes_No(QWidget* owner, const QString& question) {
  QMessageBox box(QMessageBox::Question, APPLICATION_TITLE, question, QMessageBox::Yes | QMessageBox::No, owner);
  return box.exec() == QMessageBox::Yes;
}

void TQt_Dialogs::Show_Error(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, APPLICATION_TITLE, text, QMessageBox::Ok, owner);
  box.exec();
}

// On Linux, Qt hands the document to xdg-open (or the desktop portal): false when none can be started.
bool TQt_Desktop::Open_Document(const std::filesystem::path& document) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
}

void TQt_Timer_Engine::Enabled_Changed(TTimer& timer) {
  auto& qt_timer = Timers_[&timer];
  if (!qt_timer) {
    qt_timer = std::make_unique<QTimer>();
    qt_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(qt_timer.get(), &QTimer::timeout, &timer, [this, &timer] {
      if (!Holding_) timer.Tick();
    });
  }
  if (timer.Enabled())
    qt_timer->start(timer.Interval());
  else
    qt_timer->stop();
}

void TQt_Timer_Engine::Forget(TTimer& timer) { Timers_.erase(&timer); }

void TQt_Timer_Engine::Pump() { QCoreApplication::processEvents(); }

// A tick that falls into the wait is lost, as the timers' handlers may not run in the middle of the
// step that waits; each timer's interval goes on from it.
void TQt_Timer_Engine::Keep_Alive() {
  Holding_ = true;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  Holding_ = false;
}
