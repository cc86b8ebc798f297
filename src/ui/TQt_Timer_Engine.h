// Window timers on Qt's event loop.
#pragma once

#include "ui/TTimer.h"

#include <QTimer>

#include <map>
#include <memory>

class TQt_Timer_Engine final : public TTimer_Engine {
public:
  void Enabled_Changed(TTimer& timer) override;
  void Forget(TTimer& timer) override;
  void Pump() override;
  void Keep_Alive() override;

private:
  std::map<TTimer*, std::unique_ptr<QTimer>> Timers_;
  bool Holding_ = false;  // in Keep_Alive: ticks that come now are dropped
};
