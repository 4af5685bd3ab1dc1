// Builds without a native toolkit run on the headless backend.
#include "ui/headless/HeadlessBackend.h"

namespace ui {

Backend& DefaultBackend() { return headless::HeadlessBackend::Instance(); }

}  // namespace ui
