#pragma once
// The exceptions of the plug-in layer.
#include <stdexcept>
#include <string>

namespace plugin {

// Thrown for a parameter text that is not what the action needs; the action frame turns it
// into the action's exception code.
class ParameterError : public std::runtime_error {
 public:
  explicit ParameterError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace plugin
