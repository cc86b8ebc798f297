// One open tty descriptor: raw bytes with time-outs, the serial format, flushing and the DTR and
// RTS lines. Errors are errno values, 0 for success.
#pragma once

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

enum TTransfer_Outcome { TRANSFER_DONE, TRANSFER_TIMED_OUT, TRANSFER_GONE, TRANSFER_FAILED };

struct TTransfer {
  TTransfer_Outcome Outcome = TRANSFER_DONE;
  std::size_t Count = 0;  // bytes moved, also when the transfer ended early
  int Error = 0;
};

class TSerial_Port {
public:
  // Opens without waiting for a carrier and sets raw 38400 8N1 without flow control. HUPCL is
  // cleared, so that closing the descriptor leaves DTR and RTS as they are. Exclusive, so that no
  // other program probes the line while we hold it.
  static std::unique_ptr<TSerial_Port> Open(const std::filesystem::path& node, int& error);
  ~TSerial_Port();
  TSerial_Port(const TSerial_Port&) = delete;
  TSerial_Port& operator=(const TSerial_Port&) = delete;

  int Set_Speed(speed_t speed);
  // `flags` replace the LINE_CONTROL_MASK bits of c_cflag.
  int Set_Line_Flags(tcflag_t flags);

  // Up to `count` bytes, whatever has arrived once the first one is there; `dest` is untouched
  // when nothing comes within `timeout_ms`.
  TTransfer Read(std::uint8_t* dest, std::size_t count, int timeout_ms);
  // All `count` bytes handed to the driver within `timeout_ms`.
  TTransfer Write(const std::uint8_t* src, std::size_t count, int timeout_ms);
  int Flush(bool transmit, bool receive);

  // TIOCM_* bits.
  int Get_Lines(int& lines);
  int Set_Lines(int asserted, int released);

private:
  explicit TSerial_Port(int descriptor) : Descriptor_(descriptor) {}
  // Waits for `events`; the outcome of a wait that does not end in readiness.
  std::optional<TTransfer_Outcome> Wait(short events, int timeout_ms, int& error);

  int Descriptor_;
};
