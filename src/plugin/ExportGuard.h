#pragma once
// The one guard around every export body: no exception, of any type, reaches the host.
// A failing call answers the fallback (false for Boolean exports, nothing for the others).
#include <type_traits>

namespace plugin {

template <typename Result, typename Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

template <typename Body>
void Guarded(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace plugin
