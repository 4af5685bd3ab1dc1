#pragma once
// The frame every framed action runs in, and the entry points the exports delegate to.
//
// Frame protocol: write empty text to "[zkSSHError]"; find the window by parameter 1
// ("zkSSH-001" and false when there is none); run the body; on success write "zkSSH-000" and
// answer true. Anything the body throws is caught here: the action's exception code is
// written and the answer is false. Nothing escapes to the host.
#include <cstdint>

#include "plugin/ActionCatalogue.h"
#include "plugin/HostLink.h"

namespace plugin {

inline constexpr const char* kCodeSuccess = "zkSSH-000";
inline constexpr const char* kCodeNoWindow = "zkSSH-001";

bool RunFramed(const ActionEntry& entry, const ActionParams& params);

// The catch of every action body: runs `body` and answers what it answers; when it throws,
// writes `exceptionCode` to "[zkSSHError]" (nothing for an empty code) and answers false. A
// host callback that fails while the code is written is swallowed as well.
template <typename Body>
bool CatchAsResultCode(const char* exceptionCode, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    try {
      if (exceptionCode != nullptr && exceptionCode[0] != '\0') SetResultCode(exceptionCode);
    } catch (...) {
    }
    return false;
  }
}

// nbExecAction: false for id 0, unassigned ids and actions not built yet (those change
// nothing at all, not even the result code).
bool ExecAction(int32_t id, const char* const* params);

// nbEditAction: true only when the action's editor ran and the author confirmed.
bool EditAction(int32_t id, HostString* params);

// nbMessage: code 2 ends every attached window; other codes are ignored.
void HostMessage(int32_t code);

// nbInitPlugIn's texts.
inline constexpr const char* kPlugInTitle = "zkSpreadSheet [2.01]";
inline constexpr const char* kPlugInPublisher = "zkSpreadSheet2 Project";
inline constexpr const char* kPlugInHint = "SpreadSheet PlugIn for NeoBook";

void InitPlugIn(HostString* title, HostString* publisher, HostString* hint);
void RegisterPlugIn(AddActionProc add, OpaqueProc second, GetVariableProc get, SetVariableProc set);

}  // namespace plugin
