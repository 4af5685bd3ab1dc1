#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <random>

namespace platform {

namespace {
std::function<double()>& NowOverride() {
  static std::function<double()> f;
  return f;
}
}  // namespace

void SetNowOverride(std::function<double()> now) { NowOverride() = std::move(now); }

double Now() {
  if (NowOverride()) return NowOverride()();
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  // Days from 1899-12-30 to the civil date (proleptic Gregorian), by the days-from-civil rule.
  int y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
  y -= m <= 2;
  int era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long days1970 = era * 146097L + static_cast<long>(doe) - 719468L;
  double days = static_cast<double>(days1970 + 25569);
  double secs = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
  return days + secs / 86400.0;
}

uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {
std::mt19937& Engine() {
  static std::mt19937 engine{std::random_device{}()};
  return engine;
}
}  // namespace

uint32_t RandomUInt32() { return static_cast<uint32_t>(Engine()()); }

void RandomBytes(void* buffer, size_t size) {
  std::random_device device;
  auto* p = static_cast<unsigned char*>(buffer);
  for (size_t i = 0; i < size; ++i) p[i] = static_cast<unsigned char>(device() & 0xFF);
}

}  // namespace platform
