#include "store/engine/TSFSHugeFile.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/LittleEndian.h"
#include "store/Errors.h"

namespace store {
namespace {

constexpr char kPartSignature[] = "KXMVHFSS";
constexpr char kStoreSignature[] = "KXSFSSGN";
constexpr size_t kNameField = 261;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Offset of the first part header that is followed by a store header, or 0.
int64_t FindPrefix(platform::File& file) {
  const int64_t length = file.Size();
  std::vector<uint8_t> chunk(1 << 16);
  int64_t base = 0;
  while (base + 288 < length) {
    file.Seek(base);
    const size_t got = file.Read(chunk.data(), chunk.size());
    if (got < 4) break;
    for (size_t i = 0; i + 4 <= got; ++i) {
      if (std::memcmp(&chunk[i], "KXMV", 4) != 0) continue;
      const int64_t c = base + static_cast<int64_t>(i);
      if (length - c <= 287) return 0;
      uint8_t head[288];
      file.Seek(c);
      file.ReadExact(head, sizeof head);
      if (std::memcmp(head, kPartSignature, 8) == 0 &&
          std::memcmp(head + 280, kStoreSignature, 8) == 0)
        return c;
    }
    base += static_cast<int64_t>(got) - 3;  // a signature may straddle chunks
  }
  return 0;
}

}  // namespace

bool IsBarePartName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string::npos;
}

TSFSDiskFile::TSFSDiskFile(const std::string& path, bool create, bool readOnly, bool exclusive)
    : file_(path, readOnly ? platform::FileAccess::Read : platform::FileAccess::ReadWrite,
            create ? platform::FileDisposition::CreateAlways
                   : platform::FileDisposition::OpenExisting,
            exclusive ? platform::FileShare::Exclusive : platform::FileShare::DenyNone) {
  length_ = file_.Size();
}

void TSFSDiskFile::WriteHeader(int64_t partSize, const std::string& nextPartName, int64_t prefix) {
  uint8_t head[280] = {};
  std::memcpy(head, kPartSignature, 8);
  platform::StoreI64(head + 8, partSize);
  std::memcpy(head + 16, nextPartName.data(), std::min(nextPartName.size(), kNameField - 1));
  file_.Seek(prefix);
  file_.Write(head, sizeof head);
  length_ = std::max(length_, prefix + int64_t(sizeof head));
}

bool TSFSDiskFile::ReadHeader(int64_t prefix, int64_t& partSize, std::string& nextPartName) {
  if (length_ - prefix < 280) return false;
  uint8_t head[280];
  file_.Seek(prefix);
  file_.ReadExact(head, sizeof head);
  if (std::memcmp(head, kPartSignature, 8) != 0) return false;
  partSize = platform::LoadI64(head + 8);
  const char* name = reinterpret_cast<const char*>(head + 16);
  const size_t len = strnlen(name, kNameField);
  if (len == kNameField) return false;  // not terminated
  nextPartName.assign(name, len);
  return true;
}

TSFSHugeFile::~TSFSHugeFile() = default;

std::string TSFSHugeFile::Folder() const { return FolderOf(path_); }

void TSFSHugeFile::Create(const std::string& path, int64_t partSize, bool exclusive) {
  if (IsOpen()) throw StoreError("TSFSHugeFile.InternalOpen - File is already open.");
  DeleteStore(path);
  path_ = path;
  partSize_ = partSize;
  prefix_ = 0;
  position_ = 0;
  readOnly_ = false;
  exclusive_ = exclusive;
  auto part = std::make_unique<TSFSDiskFile>(path, true, false, exclusive);
  part->WriteHeader(partSize, {}, 0);
  parts_.push_back(std::move(part));
}

bool TSFSHugeFile::Open(const std::string& path, bool readOnly, bool exclusive) {
  if (IsOpen()) throw StoreError("TSFSHugeFile.InternalOpen - File is already open.");
  path_ = path;
  readOnly_ = readOnly;
  exclusive_ = exclusive;
  position_ = 0;
  std::vector<std::unique_ptr<TSFSDiskFile>> parts;
  auto first = std::make_unique<TSFSDiskFile>(path, false, readOnly, exclusive);
  prefix_ = FindPrefix(first->File());
  std::string next;
  if (!first->ReadHeader(prefix_, partSize_, next)) return false;
  if (partSize_ < 380 || prefix_ >= partSize_ - kHeaderSize) return false;
  parts.push_back(std::move(first));
  std::set<std::string> seen;
  while (!next.empty()) {
    // A part that names a successor must be full.
    if (parts.back()->Length() != partSize_) return false;
    if (!IsBarePartName(next) || !seen.insert(next).second) return false;
    const std::string partPath = Folder() + next;
    if (!platform::FileExists(partPath)) return false;
    auto part = std::make_unique<TSFSDiskFile>(partPath, false, readOnly, exclusive);
    int64_t ignored = 0;
    std::string following;
    if (!part->ReadHeader(0, ignored, following)) return false;
    next = following;
    parts.push_back(std::move(part));
  }
  if (parts.back()->Length() > partSize_) return false;
  parts_ = std::move(parts);
  return true;
}

void TSFSHugeFile::Close() {
  for (auto& part : parts_) {
    try {
      if (!readOnly_) part->File().Flush();
    } catch (const platform::FileError&) {
      // Closing must not throw; the data was handed to the system already.
    }
  }
  parts_.clear();
}

int64_t TSFSHugeFile::Size() const {
  int64_t total = 0;
  for (const auto& part : parts_) total += part->Length() - kHeaderSize;
  return total - prefix_;
}

void TSFSHugeFile::Seek(int64_t offset) {
  if (offset < 0) throw StoreError("TSFSHugeFile.Seek - Offset < 0 from file beginning.");
  position_ = offset;
}

size_t TSFSHugeFile::Read(void* buffer, size_t count) {
  const int64_t size = Size();
  if (position_ > size) throw StoreError("TSFSHugeFile.Read - Stream read error.");
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  try {
    while (done < count && position_ < size) {
      const int64_t q = position_ + prefix_;
      const size_t k = static_cast<size_t>(q / Payload());
      if (k >= parts_.size()) break;
      const int64_t inPart = q % Payload();
      const int64_t available = std::min(Payload() - inPart, size - position_);
      const size_t take = static_cast<size_t>(std::min<int64_t>(available, int64_t(count - done)));
      auto& file = parts_[k]->File();
      file.Seek(kHeaderSize + inPart);
      const size_t got = file.Read(out + done, take);
      done += got;
      position_ += int64_t(got);
      if (got < take) break;
    }
  } catch (const platform::FileError&) {
    // A failing disk reads short; the caller reports the short read.
  }
  return done;
}

void TSFSHugeFile::AddPart() {
  // The first free number from the current part count on: book.sfs -> book.sfs1, ...
  size_t number = parts_.size();
  std::string name;
  while (platform::FileExists(path_ + std::to_string(number))) ++number;
  name = path_ + std::to_string(number);
  const size_t slash = name.find_last_of("/\\");
  const std::string bare = slash == std::string::npos ? name : name.substr(slash + 1);
  auto part = std::make_unique<TSFSDiskFile>(name, true, false, exclusive_);
  part->WriteHeader(partSize_, {}, 0);
  parts_.back()->WriteHeader(partSize_, bare, parts_.size() == 1 ? prefix_ : 0);
  parts_.push_back(std::move(part));
}

size_t TSFSHugeFile::Write(const void* buffer, size_t count) {
  if (readOnly_) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  try {
    if (position_ > Size()) SetSize(position_);
    while (done < count) {
      const int64_t q = position_ + prefix_;
      const size_t k = static_cast<size_t>(q / Payload());
      while (k >= parts_.size()) AddPart();
      const int64_t inPart = q % Payload();
      const size_t take =
          static_cast<size_t>(std::min<int64_t>(Payload() - inPart, int64_t(count - done)));
      auto& part = *parts_[k];
      part.File().Seek(kHeaderSize + inPart);
      part.File().Write(in + done, take);
      part.SetLength(std::max(part.Length(), kHeaderSize + inPart + int64_t(take)));
      done += take;
      position_ += int64_t(take);
    }
  } catch (const platform::FileError&) {
    // Disk full or refused: the caller sees the short count.
  } catch (const StoreError&) {
    // The gap before the position could not be filled.
  }
  return done;
}

void TSFSHugeFile::ReadBuffer(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw StoreError("TSFSHugeFile.ReadBuffer - Stream read error");
}

void TSFSHugeFile::WriteBuffer(const void* buffer, size_t count) {
  if (Write(buffer, count) != count)
    throw StoreError("TSFSHugeFile.WriteBuffer - Stream write error");
}

void TSFSHugeFile::DeleteLastPartFile() {
  if (parts_.size() <= 1) throw StoreError("TSFSHugeFile.DeleteLastPartFile - No parts to delete.");
  const std::string path = parts_.back()->Path();
  parts_.pop_back();
  platform::RemoveFile(path);
  parts_.back()->WriteHeader(partSize_, {}, parts_.size() == 1 ? prefix_ : 0);
}

void TSFSHugeFile::SetSize(int64_t size) {
  if (readOnly_) throw StoreError("TSFSHugeFile.WriteBuffer - Stream write error");
  if (size < 0) throw StoreError("TSFSHugeFile.Seek - Offset < 0 from file beginning.");
  try {
    const int64_t q = size + prefix_;
    // Index of the part holding the last byte (a size at a part boundary ends the part).
    size_t lastPart = q == 0 ? 0 : static_cast<size_t>((q - 1) / Payload());
    while (parts_.size() > lastPart + 1) DeleteLastPartFile();
    while (parts_.size() < lastPart + 1) {
      auto& last = *parts_.back();
      last.File().Truncate(partSize_);
      last.SetLength(partSize_);
      AddPart();
    }
    const int64_t inLast = q - int64_t(lastPart) * Payload();
    auto& last = *parts_.back();
    last.File().Truncate(kHeaderSize + inLast);
    last.SetLength(kHeaderSize + inLast);
  } catch (const platform::FileError&) {
    throw StoreError("TSFSHugeFile.WriteBuffer - Stream write error");
  }
}

void TSFSHugeFile::Flush() {
  if (readOnly_) return;
  for (auto& part : parts_) part->File().Flush();
}

void TSFSHugeFile::DeleteStore(const std::string& path) {
  const std::string folder = FolderOf(path);
  std::vector<std::string> chain;
  std::set<std::string> seen;
  std::string current = path;
  bool first = true;
  while (platform::FileExists(current)) {
    std::string next;
    bool valid = false;
    try {
      TSFSDiskFile part(current, false, true, false);
      int64_t partSize = 0;
      const int64_t prefix = first ? FindPrefix(part.File()) : 0;
      valid = part.ReadHeader(prefix, partSize, next);
    } catch (const platform::FileError&) {
      break;
    }
    // The store file itself is replaced whatever it holds; later parts only when they are
    // parts of ours.
    if (!valid && !first) break;
    chain.push_back(current);
    if (!valid || next.empty() || !IsBarePartName(next) || !seen.insert(next).second) break;
    current = folder + next;
    first = false;
  }
  for (const auto& file : chain) {
    if (!platform::RemoveFile(file)) break;
  }
}

}  // namespace store
