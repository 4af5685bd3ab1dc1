#pragma once
// Wall clock, tick counter and random source.
#include <cstdint>
#include <functional>

namespace platform {

// Current local date and time as a date-time double: whole days since 30 December 1899
// plus the time of day as a fraction.
double Now();
// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32.
uint32_t TickCount();
// Uniformly random 32-bit value from the system's random source.
uint32_t RandomUInt32();
// Fills a buffer with random bytes from the system's random source.
void RandomBytes(void* buffer, size_t size);

// Tests pin the clock: while an override is set, Now() returns its result.
void SetNowOverride(std::function<double()> now);

}  // namespace platform
