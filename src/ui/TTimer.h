// A window timer as the window's handlers know it: an interval, an Enabled switch and a handler that
// runs when the message loop dispatches a tick. The engine behind it is Qt's event loop in the
// program and a virtual message loop on the virtual clock in tests.
#pragma once

#include <QObject>

#include <functional>

class TTimer;

class TTimer_Engine {
public:
  virtual ~TTimer_Engine() = default;
  // The timer was switched on (its interval starts now) or off.
  virtual void Enabled_Changed(TTimer& timer) = 0;
  // The timer is going away.
  virtual void Forget(TTimer& timer) = 0;
  // Handle the messages that are waiting, once, as a window does when a long step lets it repaint.
  virtual void Pump() = 0;
  // Handle the window system's events that are waiting, once: paints, exposes, the window manager's
  // pings and close requests, but no user input and no tick of these timers. A window that waits on
  // the device for long keeps answering the desktop this way without starting anything new.
  virtual void Keep_Alive() = 0;
};

class TTimer final : public QObject {
public:
  TTimer(TTimer_Engine& engine, QObject* parent, const char* name, int interval_ms, bool enabled);
  ~TTimer() override;

  int Interval() const { return Interval_; }
  bool Enabled() const { return Enabled_; }
  // Enabling a timer that runs does not restart its interval; switching it off and on does.
  void Set_Enabled(bool enabled);
  void Restart();

  std::function<void()> OnTimer;
  void Tick();  // the engine calls this when a tick is dispatched

private:
  TTimer_Engine& Engine_;
  int Interval_;
  bool Enabled_ = false;
};
