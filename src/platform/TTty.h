// One open tty of a bridge: raw bytes with time-outs, the serial format, flushing, and the DTR and
// RTS lines. Errors are errno values, 0 for success.
#pragma once

#include <cstddef>
#include <cstdint>

enum TTransfer_Outcome { TRANSFER_DONE, TRANSFER_TIMED_OUT, TRANSFER_GONE, TRANSFER_FAILED };

struct TTransfer {
  TTransfer_Outcome Outcome = TRANSFER_DONE;
  std::size_t Count = 0;  // bytes moved, also when the transfer ended early
  int Error = 0;
};

// The modem lines of Get_Lines and Set_Lines.
inline constexpr int TTY_DTR = 0x1;
inline constexpr int TTY_RTS = 0x2;

class TTty {
public:
  virtual ~TTty() = default;

  // EINVAL for a rate the tty does not offer.
  virtual int Set_Baud_Rate(std::uint32_t baud) = 0;
  // The USBXpress line-control word: data bits in the high byte, parity in bits 4-7 (0 none,
  // 1 odd, 2 even, 3 mark, 4 space), stop bits in bits 0-3 (0 one, 1 one and a half, 2 two).
  // EINVAL for a format the tty does not offer.
  virtual int Set_Line_Control(std::uint16_t line_control) = 0;

  // Up to `count` bytes, whatever has arrived once the first one is there; `dest` is untouched
  // when nothing comes within `timeout_ms`.
  virtual TTransfer Read(std::uint8_t* dest, std::size_t count, int timeout_ms) = 0;
  // All `count` bytes handed to the driver within `timeout_ms`.
  virtual TTransfer Write(const std::uint8_t* src, std::size_t count, int timeout_ms) = 0;
  virtual int Flush(bool transmit, bool receive) = 0;

  // TTY_DTR and TTY_RTS: the lines asserted now.
  virtual int Get_Lines(int& lines) = 0;
  // First asserts the lines of `asserted` (TIOCMBIS), then releases those of `released`
  // (TIOCMBIC): two requests to the bridge, so a line set alone changes alone.
  virtual int Set_Lines(int asserted, int released) = 0;
};
