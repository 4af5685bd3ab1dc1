#pragma once
// nbEditAction's work: runs the editor dialog of an action on the host's parameter
// variables.
//
// The dialog is owned by the host's active window, or by the desktop when the host has none
// (or it is gone). While any dialog of the plug-in runs, a second editor is refused (false),
// so a host that asks again from inside the first cannot re-enter it.
//
// On OK every bound parameter variable is replaced through AssignHostString and the answer
// is true; the replacement is all or nothing: the new texts are allocated first, and only
// when all of them exist are the old blocks freed and swapped in. On Cancel, a refusal or
// any failure the answer is false and every parameter pointer and text is left as it was.
#include "plugin/ActionCatalogue.h"
#include "plugin/HostAbi.h"

namespace plugin {

bool EditActionParams(const ActionEntry& entry, HostString* params);

}  // namespace plugin
