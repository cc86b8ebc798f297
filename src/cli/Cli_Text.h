// Small text and JSON helpers of yeli-cli's output.
#pragma once

#include <QJsonObject>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// The lines joined by "; ", empty ones left out: a log quoted inside one message line.
std::string Joined(const std::vector<std::string>& lines);
// One indented JSON document.
void Print_Json(std::ostream& out, const QJsonObject& document);
