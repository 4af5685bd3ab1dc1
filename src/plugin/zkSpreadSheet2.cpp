// The seven exports of the plug-in library. Each is a shim around one guard; the work is in
// ss_plugin so that tests reach it without loading the library.
#include "plugin/ActionFrame.h"
#include "plugin/ExportGuard.h"
#include "plugin/HostLink.h"
#include "plugin/PlugInServices.h"

using plugin::Guarded;
using plugin::NBBool;

namespace {
// The plug-in composes its services once, while the library is loaded and before the host
// calls any export. A failure here is caught like every other: the plug-in then stays
// uncomposed, every book refuses construction with a clear error and Create reports its
// attach failure.
[[maybe_unused]] const bool kComposed = Guarded(false, [] {
  plugin::ComposePlugin();
  return true;
});
}  // namespace

NB_EXPORT void NB_CALL nbInitPlugIn(int32_t /*hostValue*/, plugin::HostString* title,
                                    plugin::HostString* publisher, plugin::HostString* hint) {
  Guarded([&] { plugin::InitPlugIn(title, publisher, hint); });
}

NB_EXPORT void NB_CALL nbRegisterPlugIn(plugin::AddActionProc add, plugin::OpaqueProc second,
                                        plugin::GetVariableProc get, plugin::SetVariableProc set) {
  Guarded([&] { plugin::RegisterPlugIn(add, second, get, set); });
}

NB_EXPORT void NB_CALL nbRegisterScriptProcessor(plugin::OpaqueProc processor) {
  Guarded([&] { plugin::Host().scriptProcessor = processor; });
}

NB_EXPORT void NB_CALL nbRegisterInterfaceAccess(plugin::InterfaceAccessProc access) {
  Guarded([&] { plugin::Host().interfaceAccess = access; });
}

NB_EXPORT NBBool NB_CALL nbExecAction(int32_t id, const char* const* params) {
  return Guarded(NBBool{0},
                 [&] { return NBBool{plugin::ExecAction(id, params) ? NBBool{1} : NBBool{0}}; });
}

NB_EXPORT NBBool NB_CALL nbEditAction(int32_t id, plugin::HostString* params) {
  return Guarded(NBBool{0},
                 [&] { return NBBool{plugin::EditAction(id, params) ? NBBool{1} : NBBool{0}}; });
}

NB_EXPORT void NB_CALL nbMessage(int32_t code) {
  Guarded([&] { plugin::HostMessage(code); });
}
