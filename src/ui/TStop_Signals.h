// SIGINT and SIGTERM as a request to close the window: the handler only writes a byte to a pipe
// that the event loop watches, so the close runs on the interface thread, through the window's own
// close path, with its question about unwritten settings and its restart of the controller.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

class TStop_Signals final : public QObject {
public:
  // One at a time; the handlers it replaces come back when it goes.
  explicit TStop_Signals(std::function<void()> on_stop);
  ~TStop_Signals() override;
  TStop_Signals(const TStop_Signals&) = delete;
  TStop_Signals& operator=(const TStop_Signals&) = delete;

private:
  std::function<void()> On_Stop_;
  std::unique_ptr<QSocketNotifier> Notifier_;
};
