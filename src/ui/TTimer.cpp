#include "ui/TTimer.h"

TTimer::TTimer(TTimer_Engine& engine, QObject* parent, const char* name, int interval_ms, bool enabled)
    : QObject(parent), Engine_(engine), Interval_(interval_ms) {
  setObjectName(name);
  Set_Enabled(enabled);
}

TTimer::~TTimer() { Engine_.Forget(*this); }

void TTimer::Set_Enabled(bool enabled) {
  if (enabled == Enabled_) return;
  Enabled_ = enabled;
  Engine_.Enabled_Changed(*this);
}

void TTimer::Restart() {
  Set_Enabled(false);
  Set_Enabled(true);
}

void TTimer::Tick() {
  if (Enabled_ && OnTimer) OnTimer();
}
