#include "cli/TBoard_Record.h"

#include "cli/Cli_Text.h"
#include "firmware/Firmware_Version.h"
#include "platform/Printable_Text.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <ctime>

namespace {
// Text from files and devices as it prints; null when there is none.
QJsonValue Text_Or_Null(const std::string& text) {
  return text.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(Printable_Text(text)));
}

QJsonValue Version_Or_Null(const std::optional<std::string>& version) {
  return version ? QJsonValue(QString::fromStdString(*version)) : QJsonValue();
}

// ISO 8601 in UTC, to the second: "2025-03-14T09:26:53Z".
std::string Utc_Text(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}
}  // namespace

std::string Record_Version(std::uint8_t major, std::uint8_t minor) {
  return major == FIRMWARE_ERASED ? "none" : Version_Number(major, minor);
}

std::string Record_Line(const TBoard_Record& record, std::chrono::system_clock::time_point ended) {
  const QJsonObject line{
      {"time", QString::fromStdString(Utc_Text(ended))},
      {"command", QString::fromStdString(record.Command)},
      {"file", Text_Or_Null(record.File)},
      {"usb_path", Text_Or_Null(record.Usb_Path)},
      {"serial_number", Text_Or_Null(record.Serial_Number)},
      {"serial_device", Text_Or_Null(record.Serial_Device)},
      {"old_version", Version_Or_Null(record.Old_Version)},
      {"new_version", Version_Or_Null(record.New_Version)},
      {"bytes_written", record.Bytes_Written ? QJsonValue(qint64{*record.Bytes_Written}) : QJsonValue()},
      {"seconds", static_cast<double>(static_cast<long long>(record.Seconds * 10 + 0.5)) / 10},
      {"result", record.Done ? "ok" : "failed"},
      {"failure", Text_Or_Null(record.Failure)}};
  return QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString();
}
