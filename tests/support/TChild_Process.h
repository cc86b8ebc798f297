// A program run as a child process for the tests that need a real process (real signals, a real X
// server). Its standard error is read as it comes; every wait is a poll on that pipe, on the child's
// pidfd and on whatever else the test waits for, never a sleep.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

using TReal_Point = std::chrono::steady_clock::time_point;

// The test's own environment, as "NAME=VALUE".
std::vector<std::string> Inherited_Environment();

struct TChild_Setup {
  std::vector<std::string> Arguments;  // the program first, looked up in PATH
  std::vector<std::string> Environment = Inherited_Environment();
  std::filesystem::path Folder;        // where it runs; the test's own when empty
  int Stop_Signal = SIGKILL;           // what ends it if it still runs at the end
  int Pass_Fd = -1;                    // a descriptor of ours, given to the child as Passed_As
  int Passed_As = -1;
};

class TChild_Process {
public:
  explicit TChild_Process(TChild_Setup setup);
  ~TChild_Process();
  TChild_Process(const TChild_Process&) = delete;
  TChild_Process& operator=(const TChild_Process&) = delete;

  bool Started() const { return Pid_ > 0; }
  pid_t Pid() const { return Pid_; }
  bool Running();
  // The exit status, or 128 + the signal that ended it; nullopt while it runs.
  std::optional<int> Exit_Status();
  void Signal(int signal) const;

  // Standard error so far.
  const std::string& Errors();
  std::size_t Count(const std::string& text);
  // Whether standard error has had `line` as a whole line so far.
  bool Said(const std::string& line) { return ("\n" + Errors()).find("\n" + line + "\n") != std::string::npos; }

  // Blocks until standard error has more, the child ends, one of `also` is readable, or `until`.
  void Await(TReal_Point until, std::initializer_list<int> also = {});
  // Whether `condition` came true within `limit`; it is asked again whenever something came.
  bool Wait_Until(const std::function<bool()>& condition, std::chrono::milliseconds limit);
  // Until standard error holds `text` `times` times; false when the child ended or `limit` passed first.
  bool Wait_For(const std::string& text, std::size_t times, std::chrono::milliseconds limit);
  // The exit status, once the child has ended, reading its standard error meanwhile.
  int Wait();

private:
  int Stop_Signal_;
  pid_t Pid_ = -1;
  int Pid_Fd_ = -1;
  int Errors_Fd_ = -1;
  std::optional<int> Status_;
  std::string Errors_;
};
