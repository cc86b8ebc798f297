// One virtual Yeli controller board: a CP210x bridge whose DTR line holds the STM32F1 in reset and
// whose RTS line selects its boot source, the serial line between them, the board's inputs, and
// the faults a test injects.
//
// The board is passive and has no thread: every call first brings it up to the clock's now,
// delivering in time order every byte that has arrived by then. A byte takes its wire time
// (Byte_Time) in each direction; a host write returns at once and its bytes leave one after
// another. The state is guarded by a mutex that is never held while anyone sleeps on the clock,
// so any thread may call any method.
#pragma once

#include "platform/TClock.h"
#include "platform/sim/TSim_Bridge.h"
#include "platform/sim/TSim_Faults.h"
#include "platform/sim/TSim_Microcontroller.h"
#include "platform/sim/TSim_Wire.h"

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <vector>

struct TSim_Board_Setup {
  TSim_Bridge_Identity Bridge;      // as enumerated at power-up; its product id is the stored one
  std::vector<std::uint8_t> Flash;  // from 0x08000000; the rest erased
  TSim_Settings Settings = Factory_Settings();  // in non-volatile memory
  double Filter_Rate = 1;           // filter running time per unit of clock time (1: real time)
  bool Parity_Dropped = false;      // the line carries no parity bits (a pty): see Receiver_Reads
  TSim_Line_Faults Line_Faults{};   // struck at random from the start
  std::uint32_t Fault_Seed = 0;     // with the board's own seed, chooses when they strike
  bool Pid_Programmed = false;      // a one-time-programmable bridge has taken its product id
};

// What outlives a power cycle, and what a state file keeps.
struct TSim_Persistent_State {
  std::uint16_t Pid;                // in the bridge's configuration memory
  std::vector<std::uint8_t> Flash;  // all of it
  TSim_Settings Settings;           // in non-volatile memory
  bool Pid_Programmed = false;      // the one-time-programmable product id has been written
};
using TSim_Persist = std::function<void(const TSim_Persistent_State&)>;

enum TSim_Result { SIM_RESULT_OK, SIM_RESULT_GONE, SIM_RESULT_BAD_PARAMETER };

// Of a host read: what was taken, when something may next arrive, and when a reader that waits for
// the rest of what it asked for has reason to look again (TDuration::max(): never).
struct TSim_Take {
  TSim_Result Result;
  std::uint32_t Count;
  TDuration Next_Event;
  TDuration Rest_Due;
};

// The bridge as the USB bus sees it now.
struct TSim_Usb_State {
  bool Present;
  std::uint64_t Enumeration;  // grows each time the bridge comes onto the bus
  TSim_Bridge_Identity Identity;
};

inline constexpr std::size_t SIM_WIRE_LOG_BYTES = 64 * 1024;

// After a bridge reset, how long until it is listed again with its stored product id.
inline constexpr TDuration SIM_REENUMERATION_TIME = std::chrono::milliseconds(1500);

class TSim_Board {
public:
  // Powers up at the clock's now: bridge enumerated, lines released, microcontroller started.
  // `seed` makes this board's drift and noise its own.
  TSim_Board(TClock& clock, TSim_Board_Setup setup, std::uint32_t seed);
  TSim_Board(const TSim_Board&) = delete;
  TSim_Board& operator=(const TSim_Board&) = delete;

  // --- What a test can inspect ---
  TSim_Bridge_Identity Identity();  // as last enumerated
  std::uint16_t Stored_Pid();       // in the configuration memory
  bool Listed(TSim_View view);      // on the bus and bound to a driver the view reaches
  TSim_Lines Lines();
  TSim_Run Running();
  // `count` bytes from `address`; empty when they do not all lie in flash.
  std::vector<std::uint8_t> Flash(std::uint32_t address, std::uint32_t count);
  // What the application answers for `id` now (see TSim_Microcontroller::Live_Parameter).
  std::optional<std::uint16_t> Live_Parameter(std::uint8_t id);
  TSim_Settings Stored_Settings();
  // The last SIM_WIRE_LOG_BYTES bytes that have arrived at the far end of the wire, in order
  // (garbage included). The record is bounded, so a board that runs for days keeps its size.
  std::vector<std::uint8_t> Wire_Log(TSim_Direction direction);
  void Clear_Wire_Log();
  TSim_Persistent_State Persistent_State();

  // --- The board's inputs ---
  TSim_Inputs Inputs();
  void Set_Inputs(const TSim_Inputs& inputs);

  // --- Faults ---
  // The cable leaves at `when`: the bridge is off the bus, its handles fail, its lines release.
  void Unplug_At(TDuration when);
  // The cable is back at `when`: listed again with the product id it stores.
  void Replug_At(TDuration when);
  void Set_Silent(bool silent);            // the firmware sends nothing
  void Delay_Answers(TDuration delay);     // every answer leaves this much later
  // The n-th frame from now that the bootloader would acknowledge (1: the next) gets NACK, and its
  // command ends.
  void Nack_Frame(unsigned n);
  // The n-th byte from now put on the wire in `direction` has the bits of `mask` flipped.
  void Corrupt_Byte(TSim_Direction direction, unsigned n, std::uint8_t mask = 0xFF);

  // Called under the board's lock after every change of flash, stored settings or stored product id.
  void On_Persistent_Change(TSim_Persist persist);

  // --- The host side: the kernel's view of the bridge, and yeli-sim ---
  // Opens the bridge's tty; nullopt when `view` does not list the bridge. Every open asserts DTR and
  // RTS, as the tty layer raises them on each open (drivers/tty/tty_port.c,
  // tty_port_block_til_ready), so a second open of a port in use resets the controller again.
  std::optional<TSim_Session> Open(TSim_View view);
  // The last close disables the bridge's UART, which releases both lines (cp210x.c, cp210x_close).
  TSim_Result Close(const TSim_Session& session);
  TSim_Result Write(const TSim_Session& session, std::span<const std::uint8_t> bytes);
  // Up to `max` bytes that have arrived; never waits.
  TSim_Take Take(const TSim_Session& session, std::uint8_t* dest, std::uint32_t max);
  TSim_Result Flush(const TSim_Session& session, bool transmit, bool receive);
  TSim_Result Set_Baud_Rate(const TSim_Session& session, std::uint32_t baud);
  TSim_Result Set_Line_Control(const TSim_Session& session, std::uint16_t line_control);
  TSim_Result Set_Lines(const TSim_Session& session, TSim_Lines lines);
  std::optional<TSim_Lines> Modem_Status(const TSim_Session& session);
  TSim_Usb_State Usb_State();
  // A control request to the USB device (see TSim_Bridge_Config); ENODEV while it is off the bus.
  int Control(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
              std::span<std::uint8_t> data, std::size_t& transferred);
  // A USB port reset: the bridge leaves the bus now and enumerates again after
  // SIM_REENUMERATION_TIME with its stored configuration. ENODEV while it is off the bus.
  int Reset_Port();

private:
  enum TBus_Event { BUS_UNPLUG, BUS_REPLUG, BUS_ENUMERATE, BUS_PERIODIC_UNPLUG };

  // Each with the mutex held.
  TDuration Catch_Up();
  void Advance(TDuration now);
  void Run_Bus_Event(TBus_Event event, TDuration at);
  void Deliver_To_Chip(const TSim_Wire_Byte& byte);
  void Deliver_To_Host(const TSim_Wire_Byte& byte);
  void Transmit(std::uint8_t byte, const TSim_Line_Format& format, TDuration ready);
  void Drive_Lines(TSim_Lines lines, TDuration at);
  void Leave_Bus(TDuration at);
  // What of a byte put on the wire arrives: corrupted by the faults, or nothing when it is lost.
  std::optional<std::uint8_t> On_The_Wire(TSim_Direction direction, std::uint8_t byte);
  TDuration Next_Bus_Event() const;
  TDuration Next_Event() const;
  TDuration Rest_Due(std::size_t wanted) const;
  void Record(TSim_Direction direction, std::uint8_t byte);
  TSim_Persistent_State State() const;
  void Persist_If_Changed();

  mutable std::mutex Mutex_;
  TClock& Clock_;
  const bool Parity_Dropped_;
  TSim_Inputs Inputs_;
  TSim_Faults Faults_;
  TSim_Bridge Bridge_;
  TSim_Wire To_Board_;
  TSim_Wire To_Host_;
  std::array<std::deque<std::uint8_t>, 2> Wire_Log_;
  TSim_Microcontroller Chip_;
  bool Plugged_ = true;
  std::multimap<TDuration, TBus_Event> Bus_Events_;

  TSim_Persist Persist_;
  std::uint64_t Saved_Flash_Changes_ = 0;
  std::uint64_t Saved_Settings_Stores_ = 0;
  std::uint16_t Saved_Pid_;
  bool Saved_Pid_Programmed_;
};
