#include "support/TChild_Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

extern char** environ;

std::vector<std::string> Inherited_Environment() {
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) variables.emplace_back(*variable);
  return variables;
}

TChild_Process::TChild_Process(TChild_Setup setup) : Stop_Signal_(setup.Stop_Signal) {
  int errors[2];
  if (pipe2(errors, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  if (!setup.Folder.empty()) posix_spawn_file_actions_addchdir_np(&files, setup.Folder.c_str());
  posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, errors[1], STDERR_FILENO);
  if (setup.Pass_Fd >= 0) posix_spawn_file_actions_adddup2(&files, setup.Pass_Fd, setup.Passed_As);
  std::vector<char*> argv, envp;
  for (std::string& argument : setup.Arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  for (std::string& variable : setup.Environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  if (posix_spawnp(&Pid_, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) Pid_ = -1;
  posix_spawn_file_actions_destroy(&files);
  close(errors[1]);
  Errors_Fd_ = errors[0];
  fcntl(Errors_Fd_, F_SETFL, O_NONBLOCK);
  // Readable once the child has ended (Linux 5.3).
  if (Pid_ > 0) Pid_Fd_ = static_cast<int>(syscall(SYS_pidfd_open, Pid_, 0));
}

TChild_Process::~TChild_Process() {
  if (Running()) Signal(Stop_Signal_);
  if (Pid_ > 0 && !Status_) waitpid(Pid_, nullptr, 0);
  if (Errors_Fd_ >= 0) close(Errors_Fd_);
  if (Pid_Fd_ >= 0) close(Pid_Fd_);
}

bool TChild_Process::Running() {
  if (Pid_ <= 0 || Status_) return false;
  int status = 0;
  if (waitpid(Pid_, &status, WNOHANG) != Pid_) return true;
  Status_ = status;
  return false;
}

std::optional<int> TChild_Process::Exit_Status() {
  if (Running() || !Status_) return std::nullopt;
  return WIFEXITED(*Status_) ? WEXITSTATUS(*Status_) : 128 + WTERMSIG(*Status_);
}

void TChild_Process::Signal(int signal) const {
  if (Pid_ > 0) kill(Pid_, signal);
}

const std::string& TChild_Process::Errors() {
  char chunk[4096];
  ssize_t got = 0;
  while (Errors_Fd_ >= 0 && (got = read(Errors_Fd_, chunk, sizeof chunk)) > 0)
    Errors_.append(chunk, static_cast<std::size_t>(got));
  if (got == 0 && Errors_Fd_ >= 0) {  // every writer has closed it
    close(Errors_Fd_);
    Errors_Fd_ = -1;
  }
  return Errors_;
}

std::size_t TChild_Process::Count(const std::string& text) {
  const std::string& errors = Errors();
  std::size_t count = 0;
  for (std::size_t at = errors.find(text); at != std::string::npos; at = errors.find(text, at + 1)) ++count;
  return count;
}

void TChild_Process::Await(TReal_Point until, std::initializer_list<int> also) {
  std::vector<pollfd> watched;
  if (Errors_Fd_ >= 0) watched.push_back({Errors_Fd_, POLLIN, 0});
  if (Pid_Fd_ >= 0 && Running()) watched.push_back({Pid_Fd_, POLLIN, 0});
  for (const int fd : also) watched.push_back({fd, POLLIN, 0});
  const TReal_Point now = std::chrono::steady_clock::now();
  std::int64_t left = until <= now ? 0 : std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
  // Without a pidfd (a kernel before 5.3) the child's end is seen at the next look.
  if (Pid_Fd_ < 0) left = std::min<std::int64_t>(left, 50);
  poll(watched.data(), watched.size(), static_cast<int>(std::min<std::int64_t>(left, INT32_MAX)));
  Errors();
}

bool TChild_Process::Wait_Until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const TReal_Point give_up = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= give_up) return false;
    Await(give_up);
  }
  return true;
}

bool TChild_Process::Wait_For(const std::string& text, std::size_t times, std::chrono::milliseconds limit) {
  bool ended = false;
  const bool found = Wait_Until(
      [&] {
        if (Count(text) >= times) return true;
        ended = !Running();
        return ended;
      },
      limit);
  return found && !ended;
}

int TChild_Process::Wait() {
  while (Running()) Await(TReal_Point::max());
  Errors();
  return *Exit_Status();
}
