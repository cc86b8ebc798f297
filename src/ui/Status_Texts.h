// The texts of the Control Mode panel's status values that need more than a number and a unit.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// The analogue input in volts (333 units per volt): rounded once to two significant digits, but never
// finer than hundredths, then written with two decimals and the locale's decimal separator, then "V".
// 1234 gives "3.70V" and 4000 "12.00V"; from 99.5 V on, tens are the second digit (196.8 V gives
// "200.00V").
QString Voltage_Text(std::int32_t v_in, const QLocale& locale);

// The temperature (degrees C plus 40): "-40°C" to "50°C", and "fault" above that.
QString Temperature_Text(std::int32_t t_in);
