#include "platform/TClock.h"

#include <thread>

TDuration TReal_Clock::Now() const { return std::chrono::steady_clock::now() - Start_; }

void TReal_Clock::Sleep_Until(TDuration when) { std::this_thread::sleep_until(Start_ + when); }
