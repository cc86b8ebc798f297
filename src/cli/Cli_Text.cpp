#include "cli/Cli_Text.h"

#include <QJsonDocument>


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
