#include "ui/TStop_Signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {
int Pipe[2] = {-1, -1};  // read end, write end
struct sigaction Previous[2];
constexpr int SIGNALS[2] = {SIGINT, SIGTERM};

// Async-signal-safe: one write, errno kept for the code the signal interrupted.
void Request_Stop(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(Pipe[1], &byte, 1);
  errno = saved;
}
}  // namespace

TStop_Signals::TStop_Signals(std::function<void()> on_stop) : On_Stop_(std::move(on_stop)) {
  if (pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals then keep their default action
  Notifier_ = std::make_unique<QSocketNotifier>(Pipe[0], QSocketNotifier::Read);
  connect(Notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (read(Pipe[0], bytes, sizeof bytes) > 0) {
    }
    On_Stop_();
  });
  struct sigaction action {};
  action.sa_handler = Request_Stop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 2; ++i) sigaction(SIGNALS[i], &action, &Previous[i]);
}

TStop_Signals::~TStop_Signals() {
  if (!Notifier_) return;
  for (int i = 0; i < 2; ++i) sigaction(SIGNALS[i], &Previous[i], nullptr);
  Notifier_.reset();
  close(Pipe[0]);
  close(Pipe[1]);
  Pipe[0] = Pipe[1] = -1;
}
