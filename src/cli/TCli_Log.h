// The log that the core's sequences write to: its lines are kept for the command, and shown on
// standard error under --verbose.
#pragma once

#include "platform/TLog.h"

#include <ostream>
#include <string>
#include <vector>

class TCli_Log final : public TLog {
public:
  // `echo`: where each new line goes as "log: <line>"; null to keep them quiet.
  explicit TCli_Log(std::ostream* echo) : Echo_(echo) {}

  void Clear() override { Lines_.clear(); }
  void Add(std::string_view line) override {
    Lines_.emplace_back(line);
    if (Echo_ && !line.empty()) *Echo_ << "log: " << line << '\n';
  }
  // The progress dots of a firmware update: kept, never echoed.
  void Append(std::string_view text) override {
    if (Lines_.empty()) Lines_.emplace_back();
    Lines_.back() += text;
  }

  // Since the last Clear().
  const std::vector<std::string>& Lines() const { return Lines_; }

private:
  std::ostream* Echo_;
  std::vector<std::string> Lines_;
};
