#pragma once
// Reading the conventions of one Windows locale by its identifier. `Locale::System()` reads
// the user's default locale; tests read fixed locales (German, French, ...) so that their
// expectations never depend on the machine they run on.
#include <cstdint>

#include "platform/Locale.h"

namespace platform::win32 {

// Reads separators, currency, short date and long time patterns, AM/PM texts and month names
// of the locale `lcid` (a Windows LCID such as 0x0407). Texts are in the system's 8-bit code
// page. A field the system cannot supply keeps its English (United States) default.
LocaleSettings ReadLocale(uint32_t lcid);

// The time pattern as the rest of the system reads it: the system's "t"/"tt" AM/PM
// designators become "AMPM"; everything else is kept as given.
std::string TranslateTimePattern(const std::string& pattern);

}  // namespace platform::win32
