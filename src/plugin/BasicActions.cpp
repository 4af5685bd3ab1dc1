#include "plugin/BasicActions.h"

#include <stdexcept>

#include "plugin/ActionFrame.h"
#include "plugin/HostLink.h"
#include "plugin/PlugInServices.h"
#include "plugin/SpreadWindows.h"
#include "plugin/TNeoSpread.h"
#include "ui/Backend.h"

namespace plugin {

namespace {

// Delete's body without the result-code handling, shared with Create. A window whose modal
// dialog is still open is not destroyed under the dialog's caller: that is refused (Delete
// answers false, Create "zkSSH-015").
bool DetachWindow(const std::string& rectName) {
  int index = FindSpread(rectName);
  if (index < 0) return false;
  auto* spread = dynamic_cast<TNeoSpread*>(SpreadAt(index));
  if (ui::CurrentBackend().InModalDialog() || (spread != nullptr && spread->InModalLoop())) {
    throw std::runtime_error("a dialog of the window is open");
  }
  RemoveSpread(index);
  return true;
}

}  // namespace

bool CreateAction(const ActionEntry& entry, const ActionParams& params) {
  const std::string rectName = params.empty() ? std::string() : params[0];
  return CatchAsResultCode(entry.exceptionCode, [&] {
    SetResultCode("");
    if (!ProbeHost()) {
      SetResultCode(kCodeNoInterface);
      return false;
    }
    // A rectangle never holds two windows: the old one goes first.
    DetachWindow(rectName);
    platform::WindowHandle parent = RequestRectWindow(rectName);
    if (parent == 0) {
      SetResultCode(kCodeNoWindow);
      return false;
    }
    std::unique_ptr<AttachedSpread> window = ComposedSpreadFactory()(rectName, parent);
    if (window == nullptr) throw std::runtime_error("the spreadsheet window was not created");
    AppendSpread(std::move(window));
    SetResultCode(kCodeSuccess);
    return true;
  });
}

// Delete has no exception code: a failure answers false and leaves the code empty.
bool DeleteAction(const ActionEntry& entry, const ActionParams& params) {
  return CatchAsResultCode(entry.exceptionCode, [&] {
    SetResultCode("");
    if (!DetachWindow(params.empty() ? std::string() : params[0])) return false;
    SetResultCode(kCodeSuccess);
    return true;
  });
}

}  // namespace plugin
