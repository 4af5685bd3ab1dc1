#include "platform/win32/LocaleWin32.h"

#include <windows.h>

#include <string>

namespace platform::win32 {

namespace {

// One locale field as 8-bit text; false when the system has none for this locale.
bool Field(LCID lcid, LCTYPE type, std::string& out) {
  char buffer[256];
  int length = GetLocaleInfoA(lcid, type, buffer, static_cast<int>(sizeof buffer));
  if (length <= 0) return false;
  out.assign(buffer, static_cast<size_t>(length - 1));  // length counts the terminator
  return true;
}

// A separator is one character; the system may give none (no thousands grouping), in which
// case the field holds '\0'.
void Separator(LCID lcid, LCTYPE type, char& out) {
  std::string text;
  if (Field(lcid, type, text)) out = text.empty() ? '\0' : text[0];
}

void Text(LCID lcid, LCTYPE type, std::string& out) {
  std::string text;
  if (Field(lcid, type, text)) out = text;
}

}  // namespace

std::string TranslateTimePattern(const std::string& pattern) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == 't') {
      out += "AMPM";
      while (i + 1 < pattern.size() && pattern[i + 1] == 't') ++i;
      continue;
    }
    out += c;
  }
  return out;
}

LocaleSettings ReadLocale(uint32_t lcid) {
  LocaleSettings s = LocaleSettings::EnglishUS();
  LCID id = static_cast<LCID>(lcid);
  Separator(id, LOCALE_SDECIMAL, s.decimalSeparator);
  Separator(id, LOCALE_STHOUSAND, s.thousandSeparator);
  Separator(id, LOCALE_SLIST, s.listSeparator);
  Separator(id, LOCALE_SDATE, s.dateSeparator);
  Separator(id, LOCALE_STIME, s.timeSeparator);
  Text(id, LOCALE_SCURRENCY, s.currencyString);
  Text(id, LOCALE_SSHORTDATE, s.shortDateFormat);
  std::string time;
  if (Field(id, LOCALE_STIMEFORMAT, time) && !time.empty())
    s.longTimeFormat = TranslateTimePattern(time);
  // A 24-hour locale may have empty designators; keep them empty, as the system says.
  Field(id, LOCALE_S1159, s.timeAMString);
  Field(id, LOCALE_S2359, s.timePMString);
  for (int m = 0; m < 12; ++m) {
    Text(id, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + m), s.longMonthNames[m]);
    Text(id, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + m), s.shortMonthNames[m]);
  }
  return s;
}

}  // namespace platform::win32

namespace platform {

LocaleSettings Locale::System() { return win32::ReadLocale(LOCALE_USER_DEFAULT); }

}  // namespace platform
