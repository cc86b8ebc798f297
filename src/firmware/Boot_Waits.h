// The waits around the bootloader: the settling of the modem lines, the quick entry's reset pulse
// and sync, and the pace of an update's progress.
#pragma once

#include <chrono>

// After each change of RTS or DTR: the reset line and the boot pin need this long to settle.
inline constexpr std::chrono::milliseconds BOOT_LINE_SETTLE{400};

// The reset pulse of a bootloader session of this program's own. NRST takes a low pulse of 300 ns
// (STM32F103x8/xB data sheet DS5319, "NRST pin characteristics"); the bridge's DTR output empties
// the board's 100 nF reset capacitor in well under a millisecond. The boot pin is sampled as reset
// is released, so RTS needs no wait of its own before the pulse.
inline constexpr std::chrono::milliseconds BOOT_RESET_PULSE{20};
// How long one sync byte waits for its answer: at 1200 baud, the slowest rate the autobaud takes,
// the 0x7F and its answer take 18 ms on the wire, and the USB round trip adds a few milliseconds.
inline constexpr std::chrono::milliseconds BOOT_SYNC_WAIT{50};
// Sync bytes sent before a session gives up, about a second in all. ST does not give the F1's time
// from reset release to a bootloader that listens (AN2606), so the sync is sent until it is answered.
inline constexpr unsigned BOOT_SYNC_ATTEMPTS = 20;

// While the worker writes, a progress dot goes to the log per UPDATE_DOT of waiting; the waiting
// thread looks whether the worker has finished, and lets the window answer the desktop, every
// UPDATE_LOOK, so that the update goes on as soon as the worker ends.
inline constexpr std::chrono::milliseconds UPDATE_DOT{250};
inline constexpr std::chrono::milliseconds UPDATE_LOOK{50};
