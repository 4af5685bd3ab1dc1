#include "ui/win32/ForegroundTracker.h"

#include <algorithm>
#include <vector>

#include "ui/Form.h"

namespace ui::win32 {

namespace {

struct Tracked {
  Form* form;
  HWND window;
};

std::vector<Tracked>& TrackedForms() {
  static std::vector<Tracked> forms;
  return forms;
}

HWINEVENTHOOK hook = nullptr;

// A hidden top-level window can never become the active one (the substitute host keeps its
// frame hidden on displays without a window manager): its forms count as active, so they
// are not left without their keys for good.
bool RootIsForeground(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  return root != nullptr && (!IsWindowVisible(root) || root == GetForegroundWindow());
}

void ReportAll() {
  // A handler may create or destroy forms: report from a copy, re-checking membership.
  const std::vector<Tracked> forms = TrackedForms();
  for (const Tracked& t : forms) {
    const auto& live = TrackedForms();
    const bool stillTracked =
        std::any_of(live.begin(), live.end(), [&](const Tracked& l) { return l.form == t.form; });
    if (stillTracked && IsWindow(t.window)) t.form->NoteActivation(RootIsForeground(t.window));
  }
}

void CALLBACK ForegroundChanged(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  try {
    ReportAll();
  } catch (...) {
    // Nothing may leave a system callback; the next change reports again.
  }
}

}  // namespace

void TrackForeground(Form& form, HWND window) {
  auto& forms = TrackedForms();
  if (std::any_of(forms.begin(), forms.end(), [&](const Tracked& t) { return t.form == &form; })) {
    return;
  }
  forms.push_back(Tracked{&form, window});
  if (hook == nullptr) {
    hook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                           &ForegroundChanged, 0, 0, WINEVENT_OUTOFCONTEXT);
  }
  // Without the hook the form stays active: holding the keys is better than never.
  form.NoteActivation(hook == nullptr || RootIsForeground(window));
}

void UntrackForeground(Form& form) {
  auto& forms = TrackedForms();
  forms.erase(
      std::remove_if(forms.begin(), forms.end(), [&](const Tracked& t) { return t.form == &form; }),
      forms.end());
  if (forms.empty() && hook != nullptr) {
    UnhookWinEvent(hook);
    hook = nullptr;
  }
}

}  // namespace ui::win32
