// Date and time functions over date-time doubles (days since 30 December 1899).
#include <cmath>

#include "formulas/FunctionRoutines.h"
#include "formulas/Values.h"
#include "platform/Clock.h"
#include "workbook/DateTime.h"

namespace formulas::routines {
namespace {

double RoundEven(double x) { return std::nearbyint(x); }

int ClampInt(double x) {
  if (!(x > -2147483647.0)) return -2147483647;
  if (!(x < 2147483647.0)) return 2147483647;
  return static_cast<int>(x);
}

// The parts of a date-time double; false (with #NUM!) when it is no calendar date.
bool Parts(TSSFunctionHandler& h, double value, workbook::DateTimeParts& parts) {
  if (workbook::DecodeDateTime(value, parts)) return true;
  h.RaiseError(EngineError::Num);
  return false;
}

// HOUR, MINUTE, SECOND: an empty text is 0, a number text its part, anything else #VALUE!.
void TimePart(TSSFunctionHandler& h, int workbook::DateTimeParts::*part) {
  const std::string t = h.PopText();
  const std::string_view s = workbook::TrimText(t);
  if (s.empty()) {
    h.PushNumber(0);
    return;
  }
  double value = 0;
  workbook::DateTimeParts parts;
  if (!TextToNumber(s, value)) {
    h.RaiseError(EngineError::Value);
    h.PushNumber(0);
    return;
  }
  h.PushNumber(Parts(h, value, parts) ? parts.*part : 0);
}

}  // namespace

void Date(TSSFunctionHandler& h) {
  const int day = ClampInt(RoundEven(h.PopNumber()));
  const int month = ClampInt(RoundEven(h.PopNumber()));
  const int year = ClampInt(RoundEven(h.PopNumber()));
  double value = 0;
  if (workbook::EncodeDate(year, month, day, value)) {
    h.PushNumber(value);
  } else {
    h.RaiseError(EngineError::Value);
    h.PushText("");
  }
}

void Time(TSSFunctionHandler& h) {
  const int second = ClampInt(RoundEven(h.PopNumber()));
  const int minute = ClampInt(RoundEven(h.PopNumber()));
  const int hour = ClampInt(RoundEven(h.PopNumber()));
  double value = 0;
  if (workbook::EncodeTime(hour, minute, second, 0, value)) {
    h.PushNumber(value);
  } else {
    h.RaiseError(EngineError::Value);
    h.PushNumber(0);
  }
}

void Today(TSSFunctionHandler& h) { h.PushNumber(std::floor(platform::Now())); }
void Now(TSSFunctionHandler& h) { h.PushNumber(platform::Now()); }

void Year(TSSFunctionHandler& h) {
  workbook::DateTimeParts parts;
  h.PushNumber(Parts(h, h.PopNumber(), parts) ? parts.year : 0);
}

void Month(TSSFunctionHandler& h) {
  workbook::DateTimeParts parts;
  h.PushNumber(Parts(h, h.PopNumber(), parts) ? parts.month : 0);
}

void Day(TSSFunctionHandler& h) {
  const std::string t = h.PopText();
  double value = 0;
  workbook::DateTimeParts parts;
  if (!TextToNumber(t, value)) {
    h.RaiseError(EngineError::Value);
    h.PushNumber(0);
    return;
  }
  h.PushNumber(Parts(h, value, parts) ? parts.day : 0);
}

void Hour(TSSFunctionHandler& h) { TimePart(h, &workbook::DateTimeParts::hour); }
void Minute(TSSFunctionHandler& h) { TimePart(h, &workbook::DateTimeParts::minute); }
void Second(TSSFunctionHandler& h) { TimePart(h, &workbook::DateTimeParts::second); }

void Weekday(TSSFunctionHandler& h) {
  int type = h.ArgCount() >= 2 ? ClampInt(RoundEven(h.PopNumber())) : 1;
  if (type <= 0 || type > 3) type = 1;
  workbook::DateTimeParts parts;
  if (!Parts(h, h.PopNumber(), parts)) {
    h.PushNumber(0);
    return;
  }
  const int sunday1 = parts.dayOfWeek + 1;  // 1 Sunday .. 7 Saturday
  int result = sunday1;
  if (type >= 2) result = sunday1 == 1 ? 7 : sunday1 - 1;  // 1 Monday .. 7 Sunday
  if (type == 3) result -= 1;
  h.PushNumber(result);
}

}  // namespace formulas::routines
