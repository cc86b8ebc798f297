// How a yeli-cli command ends: its exit statuses, and the failure that ends it early with one line
// naming what failed.
#pragma once

#include <string>
#include <utility>

inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_DEVICE = 1;     // no usable bridge, or the device refused or did not answer
inline constexpr int EXIT_BAD_INPUT = 2;  // bad usage, or a file that cannot be used
inline constexpr int EXIT_STOPPED = 130;  // SIGINT or SIGTERM, as a shell reports a command Ctrl+C ended

struct TCli_Failure {
  int Status;
  std::string Message;
};

[[noreturn]] inline void Fail(int status, std::string message) { throw TCli_Failure{status, std::move(message)}; }
