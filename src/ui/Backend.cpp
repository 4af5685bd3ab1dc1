#include "ui/Backend.h"

#include <array>

namespace ui {

namespace {
Backend* installed = nullptr;
}  // namespace

Backend& CurrentBackend() { return installed != nullptr ? *installed : DefaultBackend(); }

void SetBackend(Backend* backend) { installed = backend; }

ScopedScreenCursor::ScopedScreenCursor(CursorShape shape)
    : previous_(CurrentBackend().ScreenCursor()) {
  CurrentBackend().SetScreenCursor(shape);
}

ScopedScreenCursor::~ScopedScreenCursor() { CurrentBackend().SetScreenCursor(previous_); }

const char* CursorShapeName(CursorShape shape) {
  static constexpr std::array<const char*, 10> kNames{"Default",   "Arrow",  "IBeam",  "Wait",
                                                      "Cross",     "SizeWE", "SizeNS", "SizeAll",
                                                      "HandPoint", "No"};
  size_t index = static_cast<size_t>(shape);
  return index < kNames.size() ? kNames[index] : "Default";
}

}  // namespace ui
