#pragma once
// The plug-in's side of the link to the host: the callback pointers the host handed over at
// start-up, the host-variable writer and the interface requests.
//
// All state here is process-wide and lives on the host's user-interface thread only. Until
// the host registers its callbacks, variable writes are dropped and interface requests fail
// (a null access pointer counts as a host that serves no requests); nothing dereferences a
// null callback.
#include <optional>
#include <string>

#include "platform/HostWindow.h"
#include "plugin/HostAbi.h"

namespace plugin {

struct HostCallbacks {
  AddActionProc addAction = nullptr;
  OpaqueProc second = nullptr;  // stored, never called
  GetVariableProc getVariable = nullptr;
  SetVariableProc setVariable = nullptr;
  OpaqueProc scriptProcessor = nullptr;  // stored, never called
  InterfaceAccessProc interfaceAccess = nullptr;
};

HostCallbacks& Host();

// The one result-code variable shared by all windows.
inline constexpr const char* kErrorVariable = "[zkSSHError]";

// "[" + rect + ".zkSpreadSheet" + suffix + "]": the per-window variables.
std::string WindowVariable(const std::string& rectName, const std::string& suffix);
// "[" + rect + "." + name + "]": variables whose name the author chose.
std::string AuthorVariable(const std::string& rectName, const std::string& name);

void SetHostVariable(const std::string& name, const std::string& value);
inline void SetResultCode(const std::string& code) { SetHostVariable(kErrorVariable, code); }

// kAccessProbe: true when the host answered with non-null data.
bool ProbeHost();

// kAccessRectWindow for a rectangle name: the window handle, 0 for no such rectangle (or
// when the host refused the request). Throws std::runtime_error when the answer is not a
// decimal integer, so a confused host cannot smuggle in a handle.
platform::WindowHandle RequestRectWindow(const std::string& rectName);

// kAccessPickObject with the current text of a rectangle field: the chosen name, or
// nothing when the author cancelled or the host does not serve the request.
std::optional<std::string> PickObject(const std::string& currentText);

// Parses the decimal text of a window handle (optional '-', as Windows may print a handle
// as a signed number); throws std::runtime_error on anything else.
platform::WindowHandle ParseWindowHandle(const std::string& text);

}  // namespace plugin
