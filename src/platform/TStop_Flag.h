// A request to stop a long operation at its next safe point: set by a signal handler or another
// thread, read between the operation's steps. Lock-free, so a signal handler may set it.
#pragma once

#include <atomic>

using TStop_Flag = std::atomic<bool>;
static_assert(TStop_Flag::is_always_lock_free);

inline bool Stop_Requested(const TStop_Flag* stop) { return stop && stop->load(std::memory_order_relaxed); }
