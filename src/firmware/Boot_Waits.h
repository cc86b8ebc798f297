// The fixed waits around the bootloader: each settles the modem lines before the next step.
#pragma once

#include <chrono>

// After each change of RTS or DTR: the reset line and the boot pin need this long to settle.
inline constexpr std::chrono::milliseconds BOOT_LINE_SETTLE{400};
