#pragma once
// The directory held in memory: every entry in index order, plus two sorted indexes of the
// live (not deleted) entries, by name (case-insensitive in the system code page) and by
// parent, and an open count per entry (not stored).
//
// Invariant: an index is in both sorted lists exactly when its entry is live.
#include <cstdint>
#include <string>
#include <vector>

#include "store/engine/DirEntry.h"

namespace store {

class TDIRArray {
 public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Throws "TDIRArray.ReadItem - invalid itemNo = N".
  const DirEntry& ReadItem(int32_t index) const;
  // Replaces an entry and fixes the indexes. Throws "TDIRArray.UpdateItem - invalid itemNo = ".
  void UpdateItem(int32_t index, const DirEntry& entry);
  int32_t Append(const DirEntry& entry);
  void Clear();

  int& OpenCount(int32_t index) { return openCounts_.at(size_t(index)); }
  // Live entry named `name` (compared without case) inside `parent`, or -1.
  int32_t Find(int32_t parent, const std::string& name) const;
  // Live entries whose parent is `parent`, in index order.
  std::vector<int32_t> Children(int32_t parent) const;
  int32_t FirstDeleted() const;

 private:
  void Index(int32_t index);
  void Unindex(int32_t index);
  bool NameLess(int32_t a, int32_t b) const;

  std::vector<DirEntry> items_;
  std::vector<std::string> keys_;  // upper-cased names
  std::vector<int> openCounts_;
  std::vector<int32_t> byName_;
  std::vector<int32_t> byParent_;
};

}  // namespace store
