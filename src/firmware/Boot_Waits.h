// The fixed waits around the bootloader: each settles the modem lines before the next step.
#pragma once

#include <chrono>

// After each change of RTS or DTR: the reset line and the boot pin need this long to settle.
inline constexpr std::chrono::milliseconds BOOT_LINE_SETTLE{400};

// How often a firmware update looks whether the worker has finished; each look adds a progress dot.
inline constexpr std::chrono::milliseconds UPDATE_POLL{250};
