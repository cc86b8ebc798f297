// The USB bus of the virtual boards: it holds the boards attached, in attach order, and offers the
// two library views of them. The views are separate objects because the two interfaces have
// methods of the same signatures.
#pragma once

#include "platform/TClock.h"
#include "platform/sim/TSim_Board.h"
#include "platform/sim/TSim_Manufacturing.h"
#include "platform/sim/TSim_UsbXpress.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>

class TSim_Bus {
public:
  // Every board attached runs on `clock`.
  explicit TSim_Bus(TClock& clock);

  // A board plugged in now; it stays attached (unplugging is one of its faults).
  TSim_Board& Attach(TSim_Board_Setup setup);
  TSim_Board& Board(std::size_t index);  // in attach order
  std::size_t Board_Count() const;

  // The boards `view` lists now, in attach order.
  std::uint32_t Listed_Count(TSim_View view);
  TSim_Board* Listed_Board(TSim_View view, std::uint32_t index);
  // How the serial line of the `index`-th board the manufacturing view lists is named to the user:
  // "virtual:N", N counting the boards in attach order from 1; empty when there is no such board.
  std::string Serial_Device(std::uint32_t index);

  TUsbXpress& UsbXpress() { return Usb_; }
  TManufacturing& Manufacturing() { return Manufacturing_; }
  TClock& Clock() { return Clock_; }

private:
  TClock& Clock_;
  mutable std::mutex Mutex_;
  std::deque<std::unique_ptr<TSim_Board>> Boards_;
  // After the boards, so that they go first.
  TSim_UsbXpress Usb_;
  TSim_Manufacturing Manufacturing_;
};
