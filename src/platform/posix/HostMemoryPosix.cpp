#include <cstdlib>

#include "platform/HostMemory.h"

namespace platform {

char* HostAlloc(size_t size) { return static_cast<char*>(std::malloc(size ? size : 1)); }
void HostFree(char* block) { std::free(block); }

}  // namespace platform
