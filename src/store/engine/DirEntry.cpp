#include "store/engine/DirEntry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/Clock.h"

namespace store {
namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(uint8_t* p, int64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(uint64_t(v) >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int64_t Get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return static_cast<int64_t>(v);
}

}  // namespace

void DirEntry::Serialize(uint8_t* out) const {
  std::memset(out, 0, kDirEntryBytes);
  Put32(out, static_cast<uint32_t>(firstMapPageNo));
  Put64(out + 4, size);
  Put64(out + 12, creationTime);
  Put64(out + 20, lastWriteTime);
  Put64(out + 28, lastAccessTime);
  Put32(out + 36, attributes);
  Put32(out + 40, static_cast<uint32_t>(parentId));
  std::memcpy(out + 48, passwordRecord.data(), kPasswordRecordSize);
  out[220] = isDirectory;
  out[221] = isDeleted;
  out[222] = hasPassword;
  std::memcpy(out + 224, fileName.data(), std::min(fileName.size(), kMaxNameLength));
}

DirEntry DirEntry::Parse(const uint8_t* in) {
  DirEntry e;
  e.firstMapPageNo = static_cast<int32_t>(Get32(in));
  e.size = Get64(in + 4);
  e.creationTime = Get64(in + 12);
  e.lastWriteTime = Get64(in + 20);
  e.lastAccessTime = Get64(in + 28);
  e.attributes = Get32(in + 36);
  e.parentId = static_cast<int32_t>(Get32(in + 40));
  std::memcpy(e.passwordRecord.data(), in + 48, kPasswordRecordSize);
  e.isDirectory = in[220];
  e.isDeleted = in[221];
  e.hasPassword = in[222];
  const char* name = reinterpret_cast<const char*>(in + 224);
  e.fileName.assign(name, strnlen(name, kMaxNameLength));
  return e;
}

int64_t StoreTimeNow() {
  // Local date-time (days since 1899-12-30), cut to whole 2-second steps, then shifted from
  // local time to UTC by the zone offset in force now.
  const double now = platform::Now();
  const double seconds = std::floor(now * 86400.0 + 0.5);
  const int64_t local = static_cast<int64_t>(seconds) / 2 * 2;
  // 1601-01-01 to 1899-12-30 is 109205 days.
  int64_t stamp = (local + int64_t(109205) * 86400) * 10000000;
  const std::time_t t = std::time(nullptr);
  std::tm utc{};
  std::tm loc{};
#ifdef _WIN32
  gmtime_s(&utc, &t);
  localtime_s(&loc, &t);
#else
  gmtime_r(&t, &utc);
  localtime_r(&t, &loc);
#endif
  utc.tm_isdst = loc.tm_isdst;
  const int64_t offset = static_cast<int64_t>(std::difftime(std::mktime(&loc), std::mktime(&utc)));
  stamp -= offset * 10000000;
  return stamp;
}

}  // namespace store
