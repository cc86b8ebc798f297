// Where the hardware layer looks for sysfs, device nodes and processes. Tests and diagnosis point
// it at other trees: YELI_SYSFS_ROOT, YELI_DEV_ROOT and YELI_PROC_ROOT, when set, replace /sys,
// /dev and /proc.
#pragma once

#include <filesystem>

struct THost_Roots {
  std::filesystem::path Sys = "/sys";
  std::filesystem::path Dev = "/dev";
  std::filesystem::path Proc = "/proc";
};

THost_Roots Host_Roots_From_Environment();
