// Finds the CP210x bridges among the serial ports by walking sysfs: a tty counts when the kernel's
// cp210x driver serves its USB interface. The roots are parameters so a fake tree can stand in.
#pragma once

#include "platform/TBridge.h"

#include <filesystem>
#include <optional>
#include <vector>

// The bridges, ordered by their USB bus path; nothing when the sysfs tty class cannot be read.
std::optional<std::vector<TBridge>> Find_Bridges(const std::filesystem::path& sys_root,
                                                 const std::filesystem::path& dev_root);
