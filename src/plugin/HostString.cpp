#include "plugin/HostString.h"

#include <cstring>
#include <new>

#include "platform/HostMemory.h"

namespace plugin {

void AssignHostString(HostString& variable, std::string_view text) {
  FreeHostString(variable);
  char* block = platform::HostAlloc(text.size() + 1);
  if (block == nullptr) throw std::bad_alloc();
  if (!text.empty()) std::memcpy(block, text.data(), text.size());
  block[text.size()] = '\0';
  variable = block;
}

void FreeHostString(HostString& variable) {
  if (variable != nullptr) {
    platform::HostFree(variable);
    variable = nullptr;
  }
}

}  // namespace plugin
