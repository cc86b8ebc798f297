// Loaded into a Qt Widgets program through LD_PRELOAD by yeli-bench. Once the program's first window
// has been painted, it writes the moment (CLOCK_MONOTONIC, in nanoseconds) and the program's resident
// memory (in bytes) to the descriptor named by YELI_BENCH_PROBE_FD, and ends the program.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {
int Report_Fd = -1;

long long Monotonic_Ns() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

long long Resident_Bytes() {
  long size = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &size, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<long long>(resident) * sysconf(_SC_PAGESIZE);
}

void Report_And_Exit() {
  dprintf(Report_Fd, "painted %lld %lld\n", Monotonic_Ns(), Resident_Bytes());
  _exit(0);  // the program's own shutdown is not part of what is measured
}

// A window is painted in one pass: the first widget's paint event starts it, and a zero timer set
// then runs once the pass, with the flush of the window to its surface, is over.
class TFirst_Paint_Probe final : public QObject {
protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::Paint && !Seen_ && target->isWidgetType() &&
        static_cast<QWidget*>(target)->window()->isVisible()) {
      Seen_ = true;
      QTimer::singleShot(0, [] { Report_And_Exit(); });
    }
    return false;
  }

private:
  bool Seen_ = false;
};

void Install_Probe() {
  const char* fd = std::getenv("YELI_BENCH_PROBE_FD");
  if (!fd) return;
  Report_Fd = std::atoi(fd);
  QCoreApplication::instance()->installEventFilter(new TFirst_Paint_Probe);
}
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install_Probe)
