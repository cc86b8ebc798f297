// Small text and JSON helpers of yeli-cli's output.
#pragma once

#include <QJsonObject>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

std::string Hex32(std::uint32_t value);  // 0x08000000
// "2.3": major and minor in decimal.
std::string Version_Text(unsigned major, unsigned minor);
// The lines joined by "; ", empty ones left out: a log quoted inside one message line.
std::string Joined(const std::vector<std::string>& lines);
// One indented JSON document.
void Print_Json(std::ostream& out, const QJsonObject& document);
