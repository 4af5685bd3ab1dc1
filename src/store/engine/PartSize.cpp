#include "store/engine/PartSize.h"

#include <cctype>

#include "store/Errors.h"

namespace store {

int OsGeneration(const platform::OsVersion& v) {
  if (v.major == 0 && v.minor == 0 && !v.isWindowsNT) return 9;  // not a Windows system
  if (v.major == 3) return 4;
  if (v.major == 4 && v.minor == 0) return v.isWindowsNT ? 5 : 1;
  if (v.major == 4 && v.minor == 10) return 2;
  if (v.major == 4 && v.minor == 90) return 3;
  if (v.major == 5 && v.minor == 0) return 6;
  if (v.major == 5 && v.minor == 1) return 7;
  if (v.major == 5 && v.minor == 2) return 8;
  if (v.major > 5) return 9;
  if (v.major == 5) return 9;  // later 5.x service releases
  throw StoreError("Can't Identify OS version");
}

int64_t PartSizeForVolume(const platform::VolumeInfo& volume, const std::string& driveRoot,
                          int osGeneration) {
  const std::string& fs = volume.fileSystemName;
  if (fs == "NTFS") return kLargePartSize;
  if (fs == "FAT32") return osGeneration >= 6 ? 4294967295LL : 2147483647LL;
  if (fs == "FAT16") return 2147483647LL;
  if (fs == "FAT") {
    std::string root = driveRoot.substr(0, 3);
    for (char& c : root) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return (root == "A:\\" || root == "B:\\") ? 1457664LL : 2147483647LL;
  }
  if (fs == "FS_UDF") {
    return volume.freeBytes > uint64_t(kLargePartSize) ? kLargePartSize
                                                       : static_cast<int64_t>(volume.freeBytes);
  }
  if (fs == "CDFS") return 0;
  return kLargePartSize;
}

void CheckPartSize(int64_t partSize) {
  if (partSize < kMinPartSize)
    throw StoreError("File part size is too small. Minimal part size is " +
                     std::to_string(kMinPartSize));
}

int64_t PartSizeForPath(const std::string& path) {
  const int generation = OsGeneration(platform::CurrentOsVersion());
  const int64_t size = PartSizeForVolume(platform::VolumeOf(path), path, generation);
  CheckPartSize(size);
  return size;
}

}  // namespace store
