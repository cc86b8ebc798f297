// The record of one command on one board, and the line of a --report file that keeps it: one JSON
// object with the time the board ended, the command and its file, the bridge (USB path, serial
// number, serial device), the firmware version before and after, the bytes written, the seconds
// taken, "result" "ok" or "failed", and the failure.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

struct TBoard_Record {
  std::string Command;
  std::string File;  // the image or configuration file it used; empty when none
  std::string Usb_Path;
  std::string Serial_Number;
  std::string Serial_Device;
  std::optional<std::string> Old_Version;  // the firmware's before the command: "2.3", or "none" when erased
  std::optional<std::string> New_Version;  // after an update
  std::optional<std::uint32_t> Bytes_Written;
  double Seconds = 0;
  bool Done = false;
  std::string Failure;  // why it was not done
};

// The firmware version as a record holds it.
std::string Record_Version(std::uint8_t major, std::uint8_t minor);

// One line of JSON, without its line end; `ended` is the wall-clock time the board ended.
std::string Record_Line(const TBoard_Record& record, std::chrono::system_clock::time_point ended);
