#include "TStart_Up_Benchmark.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {
// Alternating runs of both programs, after one run of each that fills the file cache.
constexpr int ROUNDS = 11;
constexpr int REPORT_FD = 3;
constexpr int PAINT_TIMEOUT_MS = 30'000;

struct TStart_Up {
  double Seconds;      // from the start of the process to its first painted window
  double Resident_MiB;  // then
};

std::filesystem::path Beside_Bench(const char* name) {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

std::vector<std::string> Child_Environment() {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    const std::string text = *variable;
    if (!text.starts_with("LD_PRELOAD=") && !text.starts_with("QT_QPA_PLATFORM=")) variables.push_back(text);
  }
  variables.push_back("LD_PRELOAD=" + Beside_Bench("libyeli_bench_probe.so").string());
  variables.push_back("QT_QPA_PLATFORM=offscreen");
  variables.push_back("YELI_BENCH_PROBE_FD=" + std::to_string(REPORT_FD));
  return variables;
}

// The probe's report line, or empty when the program ended or hung without painting.
std::string Read_Report(int fd) {
  std::string report;
  pollfd readable{fd, POLLIN, 0};
  char chunk[128];
  while (report.find('\n') == std::string::npos && poll(&readable, 1, PAINT_TIMEOUT_MS) == 1) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) break;
    report.append(chunk, static_cast<std::size_t>(got));
  }
  return report;
}

TStart_Up Start_Once(const std::filesystem::path& program) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the probe's report");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, report[1], REPORT_FD);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> variables = Child_Environment();
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  std::array<char*, 2> argv{path.data(), nullptr};

  const auto started = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(report[1]);
  if (spawned != 0) {
    close(report[0]);
    throw std::runtime_error("cannot start " + path);
  }
  const std::string line = Read_Report(report[0]);
  close(report[0]);
  kill(child, SIGKILL);  // a program that did not paint is stopped; one that did has ended already
  waitpid(child, nullptr, 0);

  long long painted_ns = 0, resident_bytes = 0;
  if (std::sscanf(line.c_str(), "painted %lld %lld", &painted_ns, &resident_bytes) != 2)
    throw std::runtime_error(path + " did not paint a window within 30 s");
  const auto start_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch()).count();
  return {(painted_ns - start_ns) / 1e9, resident_bytes / (1024.0 * 1024.0)};
}

// The fastest run is the one the machine disturbed least: other work on a shared machine only ever
// adds time, so the minimum is the steadiest estimate of what the program itself costs. Memory does
// not depend on the machine's load; the fastest run's figure is as good as any.
TStart_Up Fastest(const std::vector<TStart_Up>& runs) {
  return *std::min_element(runs.begin(), runs.end(),
                           [](const TStart_Up& a, const TStart_Up& b) { return a.Seconds < b.Seconds; });
}
}  // namespace

TStart_Up_Figures Measure_Start_Up() {
  const std::filesystem::path service = Beside_Bench("yeli-service");
  const std::filesystem::path minimal = Beside_Bench("yeli-bench-minimal");
  Start_Once(service);
  Start_Once(minimal);
  std::vector<TStart_Up> service_runs, minimal_runs;
  for (int round = 0; round < ROUNDS; ++round) {
    service_runs.push_back(Start_Once(service));
    minimal_runs.push_back(Start_Once(minimal));
  }
  const TStart_Up ours = Fastest(service_runs), baseline = Fastest(minimal_runs);
  std::fprintf(stderr,
               "yeli-bench: to the first painted window yeli-service takes %.1f ms and holds %.1f MiB, "
               "a minimal Qt Widgets program %.1f ms and %.1f MiB (fastest of %d runs each)\n",
               1e3 * ours.Seconds, ours.Resident_MiB, 1e3 * baseline.Seconds, baseline.Resident_MiB, ROUNDS);
  return {ours.Seconds / baseline.Seconds, ours.Resident_MiB / baseline.Resident_MiB};
}
