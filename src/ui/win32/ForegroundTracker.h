#pragma once
// Tells forms that sit inside a foreign top-level window (the host's main window) whether
// that window is the active one of the desktop, from one system event hook per process.
// The hook is installed with the first tracked form and removed with the last; its events
// arrive through the thread's message loop, which the host runs. A form whose top-level
// window is hidden counts as active (a hidden window can never be activated).
#include <windows.h>

namespace ui {
class Form;
}

namespace ui::win32 {

// Starts tracking `form`, whose own window is `window`, and reports the current state to
// it at once (Form::NoteActivation). A form is tracked at most once.
void TrackForeground(Form& form, HWND window);
// Stops tracking; nothing is reported to the form afterwards.
void UntrackForeground(Form& form);

}  // namespace ui::win32
