// The C side of the callbacks: record what the plug-in passed, answer as a host would.
#include "HostAbiHarness.h"

#include <cstring>

#include "platform/DynamicLibrary.h"

namespace hostabi {

HostState& Host() {
  static HostState state;
  return state;
}

namespace {
using GlobalAllocFn = void*(__attribute__((stdcall)) *)(unsigned flags, size_t size);
using GlobalFreeFn = void*(__attribute__((stdcall)) *)(void* block);
using GlobalSizeFn = size_t(__attribute__((stdcall)) *)(void* block);

const platform::DynamicLibrary& Kernel32() {
  static platform::DynamicLibrary kernel32("kernel32.dll");
  return kernel32;
}

template <typename Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(Kernel32().RequireSymbol(name));
}

// Replaces the text of a HostString variable the way the host does: free, allocate, copy.
void AssignHostText(char** variable, const std::string& text) {
  if (*variable != nullptr) GlobalFreeBlock(*variable);
  auto* block = static_cast<char*>(GlobalAllocFixed(text.size() + 1));
  std::memcpy(block, text.c_str(), text.size() + 1);
  *variable = block;
}
}  // namespace

void* GlobalAllocFixed(size_t size) {
  constexpr unsigned kFixed = 0;  // GMEM_FIXED
  return Lookup<GlobalAllocFn>("GlobalAlloc")(kFixed, size);
}
void GlobalFreeBlock(void* block) { Lookup<GlobalFreeFn>("GlobalFree")(block); }
size_t GlobalBlockSize(void* block) { return Lookup<GlobalSizeFn>("GlobalSize")(block); }

}  // namespace hostabi

extern "C" {

void OnAddAction(int32_t id, const char* name, const char* hint, const uint8_t* kinds, int32_t last,
                 uint32_t count) {
  hostabi::Announcement a;
  a.id = id;
  a.name = name != nullptr ? name : "(null)";
  a.hint = hint != nullptr ? hint : "(null)";
  a.lastIndex = last;
  a.count = count & 0xFF;  // a byte argument: the host reads the low byte of its slot
  a.kindsAddressNull = kinds == nullptr;
  // Read no more than a sane array: a wrong last index must fail the test, not crash it.
  if (kinds != nullptr && last >= 0 && last < 64) a.kinds.assign(kinds, kinds + last + 1);
  hostabi::Host().announcements.push_back(std::move(a));
}

void OnSetVariable(const char* name, const char* value) {
  std::string n = name != nullptr ? name : "(null)";
  std::string v = value != nullptr ? value : "";
  hostabi::Host().writes.emplace_back(n, v);
  hostabi::Host().variables[n] = v;
}

void OnGetVariable(const char* name, char** value) {
  if (name == nullptr || value == nullptr) return;
  auto found = hostabi::Host().variables.find(name);
  hostabi::AssignHostText(value, found != hostabi::Host().variables.end() ? found->second : "");
}

uint8_t OnInterfaceAccess(int32_t code, char** data) {
  hostabi::HostState& host = hostabi::Host();
  hostabi::AccessRequest request;
  request.code = code;
  request.dataNull = data == nullptr || *data == nullptr;
  if (!request.dataNull) request.data = *data;
  host.requests.push_back(request);
  if (data == nullptr) return 0;
  switch (code) {
    case 6:  // probe: any non-null text says "interface requests are served"
      if (!host.probeAnswer) return 0;
      hostabi::AssignHostText(data, "1");
      return 1;
    case 7:  // the rectangle's window handle as decimal text
      hostabi::AssignHostText(data, host.rectAnswer);
      return 1;
    default:
      return 0;
  }
}

}  // extern "C"
