#include "store/engine/DirEntry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "platform/Clock.h"
#include "platform/LittleEndian.h"

namespace store {

void DirEntry::Serialize(uint8_t* out) const {
  std::memset(out, 0, kDirEntryBytes);
  platform::StoreU32(out, static_cast<uint32_t>(firstMapPageNo));
  platform::StoreI64(out + 4, size);
  platform::StoreI64(out + 12, creationTime);
  platform::StoreI64(out + 20, lastWriteTime);
  platform::StoreI64(out + 28, lastAccessTime);
  platform::StoreU32(out + 36, attributes);
  platform::StoreU32(out + 40, static_cast<uint32_t>(parentId));
  std::memcpy(out + 48, passwordRecord.data(), kPasswordRecordSize);
  out[220] = isDirectory;
  out[221] = isDeleted;
  out[222] = hasPassword;
  std::memcpy(out + 224, fileName.data(), std::min(fileName.size(), kMaxNameLength));
}

DirEntry DirEntry::Parse(const uint8_t* in) {
  DirEntry e;
  e.firstMapPageNo = static_cast<int32_t>(platform::LoadU32(in));
  e.size = platform::LoadI64(in + 4);
  e.creationTime = platform::LoadI64(in + 12);
  e.lastWriteTime = platform::LoadI64(in + 20);
  e.lastAccessTime = platform::LoadI64(in + 28);
  e.attributes = platform::LoadU32(in + 36);
  e.parentId = static_cast<int32_t>(platform::LoadU32(in + 40));
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
