// The CP210x of a board: its identity and configuration memory, its presence on the bus, the
// host's handles on it, its serial settings, its receive buffer and its modem lines.
#pragma once

#include "platform/sim/TSim_Bridge_Identity.h"
#include "platform/sim/TSim_Line_Format.h"

#include <cstdint>
#include <deque>
#include <optional>

// What a handle of either library refers to: one enumeration of the bridge and, for USBXpress,
// one opening of it.
struct TSim_Session {
  TSim_View View;
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
  // On the bus with `identity`, which its configuration memory holds.
  explicit TSim_Bridge(TSim_Bridge_Identity identity);

  const TSim_Bridge_Identity& Identity() const { return Identity_; }
  std::uint16_t Stored_Pid() const { return Stored_Pid_; }
  // Takes effect at the next enumeration.
  void Store_Pid(std::uint16_t pid) { Stored_Pid_ = pid; }
  bool Present() const { return Present_; }
  bool Listed_By(TSim_View view) const { return Present_ && ::Listed_By(view, Identity_.Driver); }

  // Off the bus: every handle ends, the receive buffer is lost. The board releases the lines first.
  void Leave_Bus();
  // Onto the bus with the product id of the configuration memory and the power-up serial settings.
  void Enumerate();

  // nullopt when `view` does not list the bridge. A USBXpress open takes the device from any
  // handle opened before.
  std::optional<TSim_Session> Open(TSim_View view);
  bool Valid(const TSim_Session& session) const;
  void Close(const TSim_Session& session);

  TSim_Line_Format Format() const { return Format_; }
  bool Set_Baud_Rate(std::uint32_t baud);
  bool Set_Line_Control(std::uint16_t line_control);

  TSim_Lines Lines;                   // as its outputs drive them; changed through the board
  std::deque<std::uint8_t> Received;  // bytes from the microcontroller, not yet read

private:
  TSim_Bridge_Identity Identity_;
  std::uint16_t Stored_Pid_;
  bool Present_ = true;
  std::uint64_t Enumeration_ = 1;
  std::uint64_t Openings_ = 0;
  std::uint64_t Usb_Opening_ = 0;  // the opening that holds the device; 0: none
  TSim_Line_Format Format_;
};
