#include "platform/linux/Process_Holders.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {
std::optional<int> Pid_Of(const std::string& name) {
  int pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (error != std::errc() || end != name.data() + name.size()) return std::nullopt;
  return pid;
}

bool Holds(const fs::path& descriptors, const fs::path& node, const fs::path& resolved) {
  std::error_code error;
  for (fs::directory_iterator entry(descriptors, error), end; entry != end; entry.increment(error)) {
    if (error) break;
    const fs::path target = fs::read_symlink(entry->path(), error);
    if (error) continue;
    if (target == node || (!resolved.empty() && target == resolved)) return true;
  }
  return false;
}
}  // namespace

std::vector<TProcess> Process_Holders(const fs::path& proc_root, const fs::path& node) {
  std::error_code error;
  const fs::path resolved = fs::canonical(node, error);
  std::vector<TProcess> holders;
  for (fs::directory_iterator entry(proc_root, error), end; entry != end; entry.increment(error)) {
    if (error) break;
    const auto pid = Pid_Of(entry->path().filename().string());
    if (!pid || *pid == getpid() || !Holds(entry->path() / "fd", node, resolved)) continue;
    std::string name;
    std::getline(std::ifstream(entry->path() / "comm"), name);
    holders.push_back({*pid, name});
  }
  std::sort(holders.begin(), holders.end(), [](const TProcess& a, const TProcess& b) { return a.Pid < b.Pid; });
  return holders;
}
