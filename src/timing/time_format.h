#pragma once

#include "settings/enums.h"

#include <QString>

#include <cstdint>
#include <initializer_list>

// The text of a whole number of seconds in a display format. Negative input counts as 0.
// Pure: no locale, no time zone; digits are ASCII.
QString formatSeconds(TimerDisplayFormat format, std::int64_t seconds);

// Seconds rounded to the nearest whole second, halves away from zero, kept within the 64-bit
// range (NaN gives 0).
std::int64_t roundedSeconds(double seconds);

// Whole numbers joined by colons, the first padded with zeros to firstDigits, the others to
// two: ({1, 5, 9}, 1) gives "1:05:09". Negative fields are not expected.
QString colonTime(std::initializer_list<std::int64_t> fields, int firstDigits);
