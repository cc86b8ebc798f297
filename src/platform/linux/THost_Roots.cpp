#include "platform/linux/THost_Roots.h"

#include <cstdlib>

namespace {
// An empty variable counts as unset.
void Take(const char* variable, std::filesystem::path& root) {
  const char* value = std::getenv(variable);
  if (value && *value) root = value;
}
}  // namespace

THost_Roots Host_Roots_From_Environment() {
  THost_Roots roots;
  Take("YELI_SYSFS_ROOT", roots.Sys);
  Take("YELI_DEV_ROOT", roots.Dev);
  Take("YELI_PROC_ROOT", roots.Proc);
  return roots;
}
