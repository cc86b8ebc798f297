#include "ui/TQt_Timer_Engine.h"

#include <QCoreApplication>

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
