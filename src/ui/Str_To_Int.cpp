#include "ui/Str_To_Int.h"

#include <limits>

std::int32_t Str_To_Int(const QString& text) {
  qsizetype i = 0;
  const bool negative = text.startsWith('-');
  if (negative || text.startsWith('+')) ++i;
  const qsizetype first_digit = i;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i].unicode() - u'0');
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) break;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (i == first_digit || i != text.size() || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    throw TConvert_Error(QString("'%1' is not a valid integer value").arg(text).toStdString());
  return static_cast<std::int32_t>(value);
}
