#include "platform/Locale.h"

namespace platform {

// The portable build does not follow the C library's locale: its conventions are English
// (United States) so that results are the same on every machine.
LocaleSettings Locale::System() { return LocaleSettings::EnglishUS(); }

}  // namespace platform
