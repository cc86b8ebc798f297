// Loaded into yeli-service through LD_PRELOAD by the test of the window on a real X server, in place
// of the engineer's click: the push button named by YELI_PROBE_CLICK is clicked once it is visible
// and enabled, once.
#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {
constexpr int LOOK_MS = 100;

void Install_Probe() {
  // The programs that yeli-service starts (the archiver's shell) are not to load the probe: in a
  // sanitizer build it needs the sanitizer's run-time, which only yeli-service has.
  qunsetenv("LD_PRELOAD");
  const QString name = qEnvironmentVariable("YELI_PROBE_CLICK");
  if (name.isEmpty()) return;
  auto* timer = new QTimer(QCoreApplication::instance());
  QObject::connect(timer, &QTimer::timeout, [timer, name] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* button = window->findChild<QAbstractButton*>(name);
      if (!button || !button->isVisible() || !button->isEnabled()) continue;
      timer->stop();
      button->click();
      return;
    }
  });
  timer->start(LOOK_MS);
}
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install_Probe)
