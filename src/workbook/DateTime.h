#pragma once
// Date-time doubles: whole days since 30 December 1899 plus the time of day as a fraction.
// Conversion to and from calendar parts, reading dates and times in the system conventions
// and formatting them with date patterns.
#include <string>
#include <string_view>

namespace workbook {

struct DateTimeParts {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
};

// Days of the proleptic Gregorian calendar; false for an impossible date or a year outside
// 1..9999.
bool EncodeDate(int year, int month, int day, double& value);
// Fraction of a day; false unless 0 <= hour < 24, minute and second < 60, millisecond < 1000.
bool EncodeTime(int hour, int minute, int second, int millisecond, double& value);
// Splits a date-time double, rounded to the millisecond. A negative value keeps its whole
// days before the epoch and its fraction as the time of day. False when the value is not
// finite or lies outside the years 1..9999.
bool DecodeDateTime(double value, DateTimeParts& parts);

// Reads a date in the system's short date order and separator: two or three numbers (without
// a year the current year is taken; a one- or two-digit year falls in the fifty years on either
// side of now).
bool TextToDate(std::string_view text, double& value);
// Reads a time in the system's convention: hours and minutes with the time separator, optional
// seconds and milliseconds, optional AM/PM text; "10 AM" is a time, "10" alone is not.
bool TextToTime(std::string_view text, double& value);

// Formats a date-time double with a date pattern (letters case-insensitive): d dd ddd dddd
// ddddd, m mm (minutes after h) mmm mmmm, yy yyyy, h hh, n nn, s ss, z zzz, am/pm a/p ampm,
// t tt c, "/" the date separator, ":" the time separator, quoted text copied. A value that is no
// calendar date gives an empty text.
std::string FormatDateTime(std::string_view pattern, double value);

// The system's short time pattern: the long time pattern without its seconds.
std::string ShortTimePattern();

}  // namespace workbook
