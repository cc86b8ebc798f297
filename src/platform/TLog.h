// The core's view of an on-screen log and of the window's message pump.
#pragma once

#include <functional>
#include <string_view>

class TLog {
public:
  virtual ~TLog() = default;
  virtual void Clear() = 0;
  // A new line.
  virtual void Add(std::string_view line) = 0;
  // Text added to the end of the last line (the progress dots of a firmware update).
  virtual void Append(std::string_view text) = 0;
};

// Lets the window handle the messages that are waiting, once, so it repaints during a long step.
using TPump = std::function<void()>;
