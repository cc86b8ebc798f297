#include "cli/TCli_Text.h"

#include <QJsonDocument>

#include <cstdio>

std::string Hex32(std::uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string Version_Text(unsigned major, unsigned minor) { return std::to_string(major) + "." + std::to_string(minor); }

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (!joined.empty()) joined += "; ";
    joined += line;
  }
  return joined;
}

void Print_Json(std::ostream& out, const QJsonObject& document) {
  out << QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}
