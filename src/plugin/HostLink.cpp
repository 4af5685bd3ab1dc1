#include "plugin/HostLink.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "plugin/HostString.h"

namespace plugin {

HostCallbacks& Host() {
  static HostCallbacks callbacks;
  return callbacks;
}

std::string WindowVariable(const std::string& rectName, const std::string& suffix) {
  return "[" + rectName + ".zkSpreadSheet" + suffix + "]";
}

std::string AuthorVariable(const std::string& rectName, const std::string& name) {
  return "[" + rectName + "." + name + "]";
}

void SetHostVariable(const std::string& name, const std::string& value) {
  SetVariableProc set = Host().setVariable;
  if (set != nullptr) set(name.c_str(), value.c_str());
}

bool ProbeHost() {
  InterfaceAccessProc access = Host().interfaceAccess;
  if (access == nullptr) return false;
  ScopedHostString data;
  access(kAccessProbe, data.Address());
  return data.Get() != nullptr;
}

platform::WindowHandle ParseWindowHandle(const std::string& text) {
  using Handle = platform::WindowHandle;
  constexpr Handle kMax = std::numeric_limits<Handle>::max();
  size_t at = 0;
  bool negative = false;
  if (!text.empty() && text[0] == '-') {
    negative = true;
    at = 1;
  }
  if (at >= text.size()) throw std::runtime_error("window handle \"" + text + "\" is not a number");
  Handle value = 0;
  for (; at < text.size(); ++at) {
    char c = text[at];
    if (c < '0' || c > '9') {
      throw std::runtime_error("window handle \"" + text + "\" is not a number");
    }
    Handle digit = static_cast<Handle>(c - '0');
    if (value > (kMax - digit) / 10) {
      throw std::runtime_error("window handle \"" + text + "\" is out of range");
    }
    value = value * 10 + digit;
  }
  // A signed print of a handle wraps back to the same bits.
  return negative ? static_cast<Handle>(0) - value : value;
}

platform::WindowHandle RequestRectWindow(const std::string& rectName) {
  InterfaceAccessProc access = Host().interfaceAccess;
  if (access == nullptr) return 0;
  ScopedHostString data(rectName);
  // Only the answer text is relied on, not the Boolean; no text at all means no rectangle.
  access(kAccessRectWindow, data.Address());
  std::string answer = TextOf(data.Get());
  if (answer.empty()) return 0;
  return ParseWindowHandle(answer);
}

std::optional<std::string> PickObject(const std::string& currentText) {
  InterfaceAccessProc access = Host().interfaceAccess;
  if (access == nullptr) return std::nullopt;
  ScopedHostString data(currentText);
  if (access(kAccessPickObject, data.Address()) == 0) return std::nullopt;
  return TextOf(data.Get());
}

}  // namespace plugin
