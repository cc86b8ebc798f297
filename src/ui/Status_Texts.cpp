#include "ui/Status_Texts.h"

#include <cstdlib>

namespace {
constexpr std::int64_t UNITS_PER_VOLT = 333;
constexpr std::int32_t HIGHEST_SENSOR_READING = 90;  // above: the sensor is faulty
constexpr std::int32_t TEMPERATURE_OFFSET = 40;
}  // namespace

// Integer arithmetic throughout, so no value is rounded twice or lands on the wrong side of a tie.
QString Voltage_Text(std::int32_t v_in, const QLocale& locale) {
  const std::int64_t units = std::llabs(std::int64_t{v_in});
  // The rounding step in hundredths of a volt: 1 below 1 V, 10 below 10 V, 100 below 100 V, ...
  std::int64_t step = 1;
  for (std::int64_t limit = UNITS_PER_VOLT; units >= limit; limit *= 10) step *= 10;
  const std::int64_t divisor = UNITS_PER_VOLT * step;
  const std::int64_t hundredths = (units * 100 * 2 + divisor) / (2 * divisor) * step;  // half rounds up
  const QString sign = v_in < 0 && hundredths != 0 ? "-" : "";
  return sign + QString::number(hundredths / 100) + locale.decimalPoint() +
         QString::number(hundredths % 100).rightJustified(2, '0') + "V";
}

QString Temperature_Text(std::int32_t t_in) {
  if (t_in > HIGHEST_SENSOR_READING) return "fault";
  return QString::number(std::int64_t{t_in} - TEMPERATURE_OFFSET) + QString::fromUtf8("°C");
}
