// The CP210x of a board: its identity and configuration memory, its presence on the bus, the ttys
// open on it, its serial settings, its receive buffer and its modem lines.
#pragma once

#include "platform/sim/TSim_Bridge_Config.h"
#include "platform/sim/TSim_Bridge_Identity.h"
#include "platform/sim/TSim_Line_Format.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <set>

// One opening of the bridge's tty during one enumeration.
struct TSim_Session {
  std::uint64_t Enumeration;
  std::uint64_t Opening;
};

struct TSim_Lines {
  bool Dtr = false;  // asserted: the microcontroller is held in reset
  bool Rts = false;  // asserted: the microcontroller boots into its ROM bootloader

  bool operator==(const TSim_Lines&) const = default;
};

class TSim_Bridge {
public:
  // On the bus with `identity`, which its configuration memory holds; `pid_programmed` as for
  // TSim_Bridge_Config.
  TSim_Bridge(TSim_Bridge_Identity identity, bool pid_programmed);

  const TSim_Bridge_Identity& Identity() const { return Identity_; }
  std::uint16_t Stored_Pid() const { return Config.Stored_Pid(); }
  bool Present() const { return Present_; }
  // Counts the times the bridge has come onto the bus.
  std::uint64_t Enumeration() const { return Enumeration_; }
  bool Listed_By(TSim_View view) const { return Present_ && ::Listed_By(view, Identity_); }

  // Off the bus: every tty ends, the receive buffer is lost. The board releases the lines first.
  void Leave_Bus();
  // Onto the bus with the product id of the configuration memory and the power-up serial settings.
  void Enumerate();

  // nullopt when the bridge is off the bus.
  std::optional<TSim_Session> Open();
  bool Valid(const TSim_Session& session) const;
  // Whether that was the last tty open on it.
  bool Close(const TSim_Session& session);

  TSim_Line_Format Format() const { return Format_; }
  bool Set_Baud_Rate(std::uint32_t baud);
  bool Set_Line_Control(std::uint16_t line_control);

  TSim_Bridge_Config Config;
  TSim_Lines Lines;                   // as its outputs drive them; changed through the board
  std::deque<std::uint8_t> Received;  // bytes from the microcontroller, not yet read

private:
  TSim_Bridge_Identity Identity_;
  bool Present_ = true;
  std::uint64_t Enumeration_ = 1;
  std::uint64_t Openings_ = 0;
  std::set<std::uint64_t> Open_;  // the openings of this enumeration not yet closed
  TSim_Line_Format Format_;
};
