// A small plug-in-like module for the window channel test: it links its own static copies of
// the platform and toolkit layers (nothing of them is exported), attaches a headless form to
// a window handle it is given, and reports what its form saw.
#include <memory>

#include "platform/WindowChannel.h"
#include "ui/BasicControls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::unique_ptr<ui::Form> form;
int clicks = 0;
}  // namespace

PROBE_EXPORT const SSWindowSystemV1* probe_window_system() { return &platform::WindowSystem(); }
PROBE_EXPORT const SSWindowSystemV1* probe_local_system() { return ssWindowSystemV1Local(); }

// A form filling a w x h window under `parent`, with one button covering its left half.
PROBE_EXPORT uintptr_t probe_attach(uintptr_t parent, int w, int h) {
  try {
    form = std::make_unique<ui::Form>(parent, "ProbeForm");
    form->SetBounds(ui::Rect{0, 0, w, h});
    auto& button = form->Add<ui::Button>("button");
    button.SetBounds(ui::Rect{0, 0, w / 2, h});
    button.OnClick = [] { ++clicks; };
    return form->Peer().NativeHandle();
  } catch (...) {
    return 0;
  }
}

PROBE_EXPORT int probe_clicks() { return clicks; }
PROBE_EXPORT void probe_detach() { form.reset(); }

// A Yes/No message box run by this module; 1 for Yes, 0 for anything else.
PROBE_EXPORT int probe_ask() {
  ui::MessageBoxSpec spec{"Probe", "Continue?", ui::MessageButtons::YesNo};
  return ui::ShowMessageBox(spec) == ui::DialogButton::Yes ? 1 : 0;
}
