#pragma once
// SS_DCHECK(condition, "what must hold"): a check of a documented invariant for debug and
// sanitizer builds. Where the build defines NDEBUG (the release and optimised builds, the
// Windows DLL) the check compiles to nothing and the condition is not evaluated, so it may be
// used on hot paths; elsewhere a false condition writes the file, the line, the condition and
// the message to the error stream and aborts.
//
// Only for invariants the code itself guarantees (a pointer's alignment, a counter that never
// goes below zero), never for input: file bytes, host parameters and user texts are checked
// always and reported as errors.
#include <cstdio>
#include <cstdlib>

namespace platform {

[[noreturn]] inline void DebugCheckFailed(const char* condition, const char* what, const char* file,
                                          int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s (%s)\n", file, line, condition, what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace platform

#if defined(NDEBUG) && !defined(SS_DCHECK_ALWAYS)
// Not evaluated; sizeof keeps the condition compiled, so it cannot rot in release builds.
#define SS_DCHECK(condition, what) static_cast<void>(sizeof(!(condition)))
#else
#define SS_DCHECK(condition, what)    \
  ((condition) ? static_cast<void>(0) \
               : ::platform::DebugCheckFailed(#condition, what, __FILE__, __LINE__))
#endif
