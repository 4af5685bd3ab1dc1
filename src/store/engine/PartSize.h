#pragma once
// The part size of a new store: the largest part file the store's volume is trusted to hold.
// File systems known to be small keep their limits; every other name (ext4, exFAT, network
// file systems, or no volume information at all) counts as large-file capable, as do
// operating-system versions newer than the last one listed.
#include <cstdint>
#include <string>

#include "platform/File.h"

namespace store {

constexpr int64_t kPartHeaderSize = 280;
constexpr int64_t kMinPartSize = 380;
constexpr int64_t kLargePartSize = 0x7FFFFFFFFFFFFFFE;

// Operating-system generation 1..8 for the listed versions, 9 for newer ones and for systems
// that report no Windows version. Throws StoreError "Can't Identify OS version" for versions
// older than the listed ones or unlisted minor versions of them.
int OsGeneration(const platform::OsVersion& version);

// The part size for a volume (drive root such as "A:\" matters only for "FAT").
int64_t PartSizeForVolume(const platform::VolumeInfo& volume, const std::string& driveRoot,
                          int osGeneration);

// Throws StoreError "File part size is too small. Minimal part size is 380".
void CheckPartSize(int64_t partSize);

// PartSizeForVolume for the volume holding `path` on this machine, checked.
int64_t PartSizeForPath(const std::string& path);

}  // namespace store
