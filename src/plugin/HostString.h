#pragma once
// Texts the plug-in places into host-owned variables (out-arguments of the start-up call,
// edited parameters, interface request data) live in host memory so either side may free
// them with the system allocator.
//
// Ownership: whoever holds a non-null HostString variable owns its block. AssignHostString
// frees the old block first; FreeHostString frees and leaves the variable null. Both accept
// a null variable. When memory is exhausted AssignHostString throws std::bad_alloc and the
// variable is left null (the old block is already gone, never dangling).
#include <string>
#include <string_view>

#include "plugin/HostAbi.h"

namespace plugin {

void AssignHostString(HostString& variable, std::string_view text);
void FreeHostString(HostString& variable);

// The text of a host string or parameter pointer; null reads as empty.
inline std::string TextOf(const char* text) { return text != nullptr ? std::string(text) : ""; }

// Owns one HostString for the length of a request and frees it on every path out.
class ScopedHostString {
 public:
  ScopedHostString() = default;
  explicit ScopedHostString(std::string_view text) { AssignHostString(value_, text); }
  ~ScopedHostString() { FreeHostString(value_); }
  ScopedHostString(const ScopedHostString&) = delete;
  ScopedHostString& operator=(const ScopedHostString&) = delete;

  HostString* Address() { return &value_; }
  HostString Get() const { return value_; }

 private:
  HostString value_ = nullptr;
};

}  // namespace plugin
