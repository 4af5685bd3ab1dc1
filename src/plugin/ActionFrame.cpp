#include "plugin/ActionFrame.h"

#include "plugin/HostLink.h"
#include "plugin/HostString.h"
#include "plugin/SpreadWindows.h"
#include "ui/Backend.h"

namespace plugin {

bool RunFramed(const ActionEntry& entry, const ActionParams& params) {
  SetResultCode("");
  return CatchAsResultCode(entry.exceptionCode, [&] {
    int index = FindSpread(params.empty() ? std::string() : params[0]);
    AttachedSpread* window = SpreadAt(index);
    if (window == nullptr) {
      SetResultCode(kCodeNoWindow);
      return false;
    }
    if (!entry.framed(*window, params)) return false;
    SetResultCode(kCodeSuccess);
    return true;
  });
}

bool ExecAction(int32_t id, const char* const* params) {
  const ActionEntry* entry = FindAction(id);
  if (entry == nullptr || !entry->IsBuilt()) return false;
  ActionParams texts = ReadParams(params, entry->count);
  if (entry->raw != nullptr) return entry->raw(*entry, texts);
  return RunFramed(*entry, texts);
}

bool EditAction(int32_t id, HostString* params) {
  const ActionEntry* entry = FindAction(id);
  if (entry == nullptr || entry->editor == nullptr || params == nullptr) return false;
  return entry->editor(*entry, params);
}

void HostMessage(int32_t code) {
  if (code != kShutdownMessage) return;
  // Shutdown while one of our modal dialogs runs would free what the dialog's caller still
  // uses: the message is ignored then (the host sends it again when it really stops).
  if (ui::CurrentBackend().InModalDialog()) return;
  DestroyAllSpreads();
}

void InitPlugIn(HostString* title, HostString* publisher, HostString* hint) {
  if (title != nullptr) AssignHostString(*title, kPlugInTitle);
  if (publisher != nullptr) AssignHostString(*publisher, kPlugInPublisher);
  if (hint != nullptr) AssignHostString(*hint, kPlugInHint);
}

void RegisterPlugIn(AddActionProc add, OpaqueProc second, GetVariableProc get,
                    SetVariableProc set) {
  HostCallbacks& host = Host();
  host.addAction = add;
  host.second = second;
  host.getVariable = get;
  host.setVariable = set;
  AnnounceCatalogue(add);
}

}  // namespace plugin
