#include "platform/Locale.h"

#include <memory>

namespace platform {

LocaleSettings LocaleSettings::EnglishUS() { return LocaleSettings{}; }

LocaleSettings LocaleSettings::EnglishUK() {
  LocaleSettings s;
  s.currencyString = "\xA3";  // pound sign in the 8-bit system code page
  s.shortDateFormat = "dd/MM/yyyy";
  s.longTimeFormat = "HH:mm:ss";
  s.timeAMString = "am";
  s.timePMString = "pm";
  return s;
}

namespace {
std::unique_ptr<LocaleSettings>& CurrentSlot() {
  static std::unique_ptr<LocaleSettings> current;
  return current;
}
}  // namespace

const LocaleSettings& Locale::Current() {
  auto& slot = CurrentSlot();
  if (!slot) slot = std::make_unique<LocaleSettings>(System());
  return *slot;
}

void Locale::SetCurrent(const LocaleSettings& settings) {
  CurrentSlot() = std::make_unique<LocaleSettings>(settings);
}

}  // namespace platform
