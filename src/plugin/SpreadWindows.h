#pragma once
// The process-wide list of attached spreadsheet windows and the lookup every action starts
// with.
//
// The list does not exist until the first successful Create (`SpreadListExists`); host
// message 2 destroys every window in list order and then the list itself. Windows are
// appended at the end, and `FindSpread` returns the first whose rectangle name matches
// under ASCII case-insensitive comparison, so a name typed in capitals reaches a window
// created in lower case.
//
// The plug-in layer sees an attached window only through `AttachedSpread`; the window layer
// provides the real one, and the plug-in's composition (PlugInServices.h) installs the factory
// that builds it.
#include <memory>
#include <string>

#include "platform/HostWindow.h"

namespace plugin {

class AttachedSpread {
 public:
  virtual ~AttachedSpread() = default;
  // The rectangle name given at Create, in the letter case the author typed.
  virtual const std::string& RectName() const = 0;
  // Closes the window (hides it and detaches it from the rectangle); destruction follows.
  virtual void Close() = 0;
};

// Builds the attached window for `rectName` as a child of `parent`, publishes its initial
// state, shows it and sizes it to the parent's client area. Throws on failure.
using SpreadFactory = std::unique_ptr<AttachedSpread> (*)(const std::string& rectName,
                                                          platform::WindowHandle parent);

bool SpreadListExists();
int SpreadCount();
// -1 when the list does not exist or no window matches.
int FindSpread(const std::string& rectName);
// The window at a FindSpread index; nullptr outside the list.
AttachedSpread* SpreadAt(int index);

// Appends, creating the list when it does not exist.
void AppendSpread(std::unique_ptr<AttachedSpread> window);

// Closes the window at `index`, takes it out of the list, destroys it. When Close throws the
// window stays listed and the error propagates.
void RemoveSpread(int index);

// Closes and destroys every window in list order, then discards the list. A window whose
// Close fails is still destroyed, so shutdown always ends with no windows.
void DestroyAllSpreads();

bool SameRectName(const std::string& a, const std::string& b);

}  // namespace plugin
