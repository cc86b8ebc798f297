// The USB bus of the virtual boards: it holds the boards attached, in attach order, each on its own
// port of the root hub (USB path 1-1, 1-2, ...), and offers them as a Linux host would: through the
// kernel's view (TSim_Kernel) and the program's mapping of that view to the two bridge libraries,
// the same mapping that runs on real hardware.
#pragma once

#include "platform/TBridges.h"
#include "platform/TClock.h"
#include "platform/THost_Bridges.h"
#include "platform/sim/TSim_Board.h"
#include "platform/sim/TSim_Kernel.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>

// The most boards the programs attach at once, and so the most a state file may hold.
inline constexpr std::size_t SIM_MAX_BOARDS = 32;

class TSim_Bus final : public TBridges {
public:
  // Every board attached runs on `clock`.
  explicit TSim_Bus(TClock& clock);

  // A board plugged in now; it stays attached (unplugging is one of its faults).
  TSim_Board& Attach(TSim_Board_Setup setup);
  TSim_Board& Board(std::size_t index);  // in attach order
  std::size_t Board_Count() const;

  // How the serial line of the `index`-th bridge of the last listing is named to the user:
  // "virtual:ttyUSB0"; empty when there is no such bridge.
  std::string Serial_Device(std::uint32_t index) const override { return Host_.Serial_Device(index); }
  const TBridge* Bridge(std::uint32_t index) const override { return Host_.Bridge(index); }

  TUsbXpress& UsbXpress() override { return Host_.UsbXpress(); }
  TManufacturing& Manufacturing() override { return Host_.Manufacturing(); }
  TBridge_Host& Host() override { return Kernel_; }
  TSim_Kernel& Kernel() { return Kernel_; }
  TClock& Clock() { return Clock_; }

private:
  TClock& Clock_;
  mutable std::mutex Mutex_;
  std::deque<std::unique_ptr<TSim_Board>> Boards_;
  // After the boards, so that the ttys close before the boards go.
  TSim_Kernel Kernel_{*this};
  THost_Bridges Host_{Kernel_};
};
