// A log that keeps its lines, for tests of the core's log output.
#pragma once

#include "platform/TLog.h"

#include <string>
#include <vector>

class TRecording_Log final : public TLog {
public:
  std::vector<std::string> Lines;
  int Clears = 0;

  void Clear() override {
    Lines.clear();
    ++Clears;
  }
  void Add(std::string_view line) override { Lines.emplace_back(line); }
  void Append(std::string_view text) override {
    if (Lines.empty()) Lines.emplace_back();
    Lines.back() += text;
  }
};
