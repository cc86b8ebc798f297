// Which processes hold a device node open, found by walking the open descriptors of /proc: what a
// diagnosis names when a tty is busy or a bridge's tty vanished.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct TProcess {
  int Pid = 0;
  std::string Name;  // its command name (comm)
};

// The processes but this one that have `node` open; those this user may not look into are missed.
std::vector<TProcess> Process_Holders(const std::filesystem::path& proc_root, const std::filesystem::path& node);
