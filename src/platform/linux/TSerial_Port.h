// One open tty descriptor on a real tty, through termios and the modem-line ioctls.
#pragma once

#include "platform/TTty.h"

#include <termios.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

class TSerial_Port final : public TTty {
public:
  // Opens without waiting for a carrier and sets raw 38400 8N1 without flow control. HUPCL is
  // cleared, so that closing the descriptor leaves DTR and RTS as they are. Exclusive, so that no
  // other program probes the line while we hold it.
  static std::unique_ptr<TSerial_Port> Open(const std::filesystem::path& node, int& error);
  ~TSerial_Port() override;
  TSerial_Port(const TSerial_Port&) = delete;
  TSerial_Port& operator=(const TSerial_Port&) = delete;

  int Set_Baud_Rate(std::uint32_t baud) override;
  int Set_Line_Control(std::uint16_t line_control) override;
  TTransfer Read(std::uint8_t* dest, std::size_t count, int timeout_ms) override;
  TTransfer Write(const std::uint8_t* src, std::size_t count, int timeout_ms) override;
  int Flush(bool transmit, bool receive) override;
  int Get_Lines(int& lines) override;
  int Set_Lines(int asserted, int released) override;

private:
  explicit TSerial_Port(int descriptor) : Descriptor_(descriptor) {}
  // Waits for `events`; the outcome of a wait that does not end in readiness.
  std::optional<TTransfer_Outcome> Wait(short events, int timeout_ms, int& error);

  int Descriptor_;
};
