#include "plugin/TNeoSpread.h"

#include <stdexcept>

#include "plugin/HostLink.h"

namespace plugin {

TNeoSpread::TNeoSpread(const std::string& rectName, platform::WindowHandle parent)
    : window::TSpread(parent), rectName_(rectName), parent_(parent) {
  SetRectangleName(rectName);
  SetVariableWriter(
      [](const std::string& name, const std::string& value) { SetHostVariable(name, value); });
  OnForeignMessage = [this](uint32_t message, intptr_t lParam) {
    return HostMessage(message, lParam);
  };
}

TNeoSpread::~TNeoSpread() { BeginTeardown(); }

void TNeoSpread::Close() {
  BeginTeardown();
  SetVisible(false);
}

bool TNeoSpread::HostMessage(uint32_t message, intptr_t lParam) {
  if (message != kFillRectangleMessage || lParam != kFillRectangleParam || TearingDown()) {
    return false;
  }
  FillParent();
  return true;
}

void TNeoSpread::FillParent() {
  platform::WindowSize size;
  if (!platform::HostWindow::ClientSize(parent_, size)) return;
  SetBounds(ui::Rect{0, 0, size.width, size.height});
  SetVisible(true);
}

TNeoSpread& SpreadOf(AttachedSpread& window) {
  auto* spread = dynamic_cast<TNeoSpread*>(&window);
  if (spread == nullptr) throw std::logic_error("the listed window is not a spreadsheet window");
  return *spread;
}

std::unique_ptr<AttachedSpread> MakeSpreadWindow(const std::string& rectName,
                                                 platform::WindowHandle parent) {
  auto spread = std::make_unique<TNeoSpread>(rectName, parent);
  spread->PublishInitialState();
  spread->FillParent();
  return spread;
}

}  // namespace plugin
