// The substitute host owns the process's portable window system: the plug-in's copy of the
// platform layer finds this export and uses nbhost's windows, focus and dialog answers
// instead of its own (see platform/WindowChannel.h). Only this symbol is exported.
#include "platform/WindowChannel.h"

extern "C" __attribute__((visibility("default"))) const SSWindowSystemV1* ssWindowSystemV1(void) {
  return ssWindowSystemV1Local();
}
