#pragma once
// The attached window: the spreadsheet window plus the rectangle name given at Create, the
// host's fill message, and its place in the plug-in's window list.
//
// Lifecycle: built by the window factory as a child of the rectangle's window; Close hides
// it and stops every handler from writing host variables, destruction follows. A window
// whose rectangle window the host already destroyed tears down just the same (nothing
// here asks the parent anything during destruction).
#include <cstdint>
#include <string>

#include "plugin/SpreadWindows.h"
#include "window/TSpread.h"

namespace plugin {

// WM_USER + 250: the host asks a window to fill its rectangle (with lParam 4).
inline constexpr uint32_t kFillRectangleMessage = 0x4FA;
inline constexpr intptr_t kFillRectangleParam = 4;

class TNeoSpread final : public window::TSpread, public AttachedSpread {
 public:
  TNeoSpread(const std::string& rectName, platform::WindowHandle parent);
  ~TNeoSpread() override;

  const std::string& RectName() const override { return rectName_; }
  void Close() override;

  // The host's messages to the window; true when handled.
  bool HostMessage(uint32_t message, intptr_t lParam);
  // Position (0, 0), the parent's client size, shown.
  void FillParent();

  platform::WindowHandle ParentHandle() const { return parent_; }

 private:
  std::string rectName_;
  platform::WindowHandle parent_;
};

// The window an action body runs on. Throws when the listed window is not a TNeoSpread.
TNeoSpread& SpreadOf(AttachedSpread& window);

// The plug-in's window factory (PlugInServices): builds the attached window for `rectName` as
// a child of `parent`, publishes its initial state and sizes it to the parent's client area.
std::unique_ptr<AttachedSpread> MakeSpreadWindow(const std::string& rectName,
                                                 platform::WindowHandle parent);

}  // namespace plugin
