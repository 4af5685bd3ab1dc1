#include <windows.h>

#include "platform/HostMemory.h"

namespace platform {

char* HostAlloc(size_t size) {
  return static_cast<char*>(GlobalAlloc(GMEM_FIXED, size ? size : 1));
}
void HostFree(char* block) {
  if (block) GlobalFree(block);
}

}  // namespace platform
