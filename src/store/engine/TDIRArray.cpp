#include "store/engine/TDIRArray.h"

#include <algorithm>
#include <tuple>

#include "platform/CodePage.h"
#include "store/Errors.h"

namespace store {

const DirEntry& TDIRArray::ReadItem(int32_t index) const {
  if (index < 0 || index >= Count())
    throw StoreError("TDIRArray.ReadItem - invalid itemNo = " + std::to_string(index));
  return items_[size_t(index)];
}

bool TDIRArray::NameLess(int32_t a, int32_t b) const {
  return std::tie(keys_[size_t(a)], a) < std::tie(keys_[size_t(b)], b);
}

void TDIRArray::Index(int32_t index) {
  byName_.insert(std::lower_bound(byName_.begin(), byName_.end(), index,
                                  [this](int32_t a, int32_t b) { return NameLess(a, b); }),
                 index);
  auto parentLess = [this](int32_t a, int32_t b) {
    return std::tie(items_[size_t(a)].parentId, a) < std::tie(items_[size_t(b)].parentId, b);
  };
  byParent_.insert(std::lower_bound(byParent_.begin(), byParent_.end(), index, parentLess), index);
}

void TDIRArray::Unindex(int32_t index) {
  auto n = std::find(byName_.begin(), byName_.end(), index);
  if (n == byName_.end())
    throw StoreError("TDIRArray.UpdateItem - old name position not found. Position = " +
                     std::to_string(index));
  byName_.erase(n);
  auto p = std::find(byParent_.begin(), byParent_.end(), index);
  if (p == byParent_.end())
    throw StoreError("TDIRArray.UpdateItem - old parentID position not found. Position = " +
                     std::to_string(index));
  byParent_.erase(p);
}

void TDIRArray::UpdateItem(int32_t index, const DirEntry& entry) {
  if (index < 0 || index >= Count())
    throw StoreError("TDIRArray.UpdateItem - invalid itemNo = " + std::to_string(index));
  DirEntry& slot = items_[size_t(index)];
  if (!slot.isDeleted) Unindex(index);
  slot = entry;
  slot.fileName.resize(std::min(slot.fileName.size(), kMaxNameLength));
  keys_[size_t(index)] = platform::AnsiUpperCase(slot.fileName);
  if (slot.isDeleted) {
    openCounts_[size_t(index)] = 0;
  } else {
    Index(index);
  }
}

int32_t TDIRArray::Append(const DirEntry& entry) {
  const int32_t index = Count();
  items_.push_back(entry);
  items_.back().fileName.resize(std::min(entry.fileName.size(), kMaxNameLength));
  keys_.push_back(platform::AnsiUpperCase(items_.back().fileName));
  openCounts_.push_back(0);
  if (!entry.isDeleted) Index(index);
  return index;
}

void TDIRArray::Clear() {
  items_.clear();
  keys_.clear();
  openCounts_.clear();
  byName_.clear();
  byParent_.clear();
}

int32_t TDIRArray::Find(int32_t parent, const std::string& name) const {
  const std::string key = platform::AnsiUpperCase(name.substr(0, kMaxNameLength));
  auto it =
      std::lower_bound(byName_.begin(), byName_.end(), key,
                       [this](int32_t a, const std::string& k) { return keys_[size_t(a)] < k; });
  for (; it != byName_.end() && keys_[size_t(*it)] == key; ++it) {
    if (items_[size_t(*it)].parentId == parent) return *it;
  }
  return -1;
}

std::vector<int32_t> TDIRArray::Children(int32_t parent) const {
  std::vector<int32_t> out;
  auto it =
      std::lower_bound(byParent_.begin(), byParent_.end(), parent,
                       [this](int32_t a, int32_t p) { return items_[size_t(a)].parentId < p; });
  for (; it != byParent_.end() && items_[size_t(*it)].parentId == parent; ++it) out.push_back(*it);
  return out;
}

int32_t TDIRArray::FirstDeleted() const {
  for (int32_t i = 0; i < Count(); ++i) {
    if (items_[size_t(i)].isDeleted) return i;
  }
  return -1;
}

}  // namespace store
