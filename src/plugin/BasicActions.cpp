#include "plugin/BasicActions.h"

#include <stdexcept>

#include "plugin/ActionFrame.h"
#include "plugin/HostLink.h"
#include "plugin/SpreadWindows.h"

namespace plugin {

namespace {

// Delete's body without the result-code handling, shared with Create.
bool DetachWindow(const std::string& rectName) {
  int index = FindSpread(rectName);
  if (index < 0) return false;
  RemoveSpread(index);
  return true;
}

}  // namespace

bool CreateAction(const ActionEntry& entry, const ActionParams& params) {
  const std::string rectName = params.empty() ? std::string() : params[0];
  try {
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
    SpreadFactory factory = GetSpreadFactory();
    if (factory == nullptr) throw std::runtime_error("no spreadsheet window is available");
    std::unique_ptr<AttachedSpread> window = factory(rectName, parent);
    if (window == nullptr) throw std::runtime_error("the spreadsheet window was not created");
    AppendSpread(std::move(window));
    SetResultCode(kCodeSuccess);
    return true;
  } catch (...) {
    try {
      SetResultCode(entry.exceptionCode);
    } catch (...) {
    }
    return false;
  }
}

bool DeleteAction(const ActionEntry&, const ActionParams& params) {
  try {
    SetResultCode("");
    if (!DetachWindow(params.empty() ? std::string() : params[0])) return false;
    SetResultCode(kCodeSuccess);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace plugin
