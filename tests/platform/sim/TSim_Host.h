// A host on the USBXpress view of one virtual board, on the virtual clock: what the board's tests
// drive it with, byte by byte, as the program would.
#pragma once

#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"

#include <vector>

using TBytes = std::vector<std::uint8_t>;

inline constexpr std::uint16_t HOST_8N1 = 0x0800;
inline constexpr std::uint16_t HOST_8E1 = 0x0820;

struct TSim_Host {
  explicit TSim_Host(TSim_Board_Setup setup = Factory_Setup(SIM_FACTORY_USBXPRESS));

  // Opens the first USBXpress device at 38400 baud with 500 ms time-outs.
  void Open(std::uint16_t line_control);
  void Send(const TBytes& bytes);
  // Reads byte by byte until `max` bytes or a read that times out.
  TBytes Receive(std::size_t max = 1024);
  void Set_Lines(bool dtr, bool rts);
  // Opens at 8E1, restarts the chip with RTS asserted and synchronises; the ACK is consumed.
  void Enter_Bootloader();
  // Opens at 8N1 and restarts the chip with RTS released.
  void Enter_Application();

  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TSim_Board& Board;
  TUsbXpress& Usb;
  SI_HANDLE Handle = 0;
};
