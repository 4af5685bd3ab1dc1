#pragma once
// Column or row sizes and flags of one sheet. Indices never touched share the default entry;
// explicit entries exist for index 0 up to the highest one ever stored.
#include <cstdint>
#include <vector>

#include "workbook/SSIntf.h"

namespace workbook {

class TSSDataStorage;

constexpr uint32_t kHeaderHidden = 0x01;
constexpr uint32_t kHeaderResizeLocked = 0x02;
constexpr uint32_t kHeaderDefaultSize = 0x04;  // the size follows the header's default size
constexpr uint32_t kHeaderAutoSized = 0x08;    // sized by content or font scaling
constexpr uint32_t kHeaderProtectionLocked = 0x10;

struct HeaderEntry {
  uint32_t Flags = kHeaderDefaultSize | kHeaderProtectionLocked;
  int32_t ScaleMark = -1;  // last target value of proportional scaling, -1 when none
  uint16_t Size = 0;
  uint16_t Spare = 0;
  friend bool operator==(const HeaderEntry&, const HeaderEntry&) = default;
};

class TSSHeader {
 public:
  // storage may be null (a header on its own raises no events).
  TSSHeader(TSSDataStorage* storage, uint16_t defaultSize, HeaderKind kind);
  virtual ~TSSHeader() = default;

  virtual void ClearEntries();
  // Removes an explicit entry; later entries move down. Beyond the explicit entries: nothing.
  virtual void DeleteEntry(int32_t index);
  // The farthest index from `index` (forwards or backwards) such that the sizes from index up
  // to it stay below pixels; index itself when even its own size does not fit.
  virtual int32_t CountFitting(int32_t index, int32_t pixels, bool forward) const;
  // Walks from index adding sizes until pixels is reached, then settles on a visible index.
  virtual int32_t IndexAtDistance(int32_t index, int32_t pixels, bool forward) const;
  // Sum of sizes of from .. to - 1, negated when to < from.
  virtual int64_t Distance(int32_t fromIndex, int32_t toIndex) const;
  virtual int32_t NextVisible(int32_t index, bool forward) const;
  virtual void InsertEntry(int32_t index, uint16_t size, bool resizeLocked, bool visible,
                           bool defaultState);
  // Proportional resize from oldValue to newValue (automatic row height, font scaling).
  virtual void ScaleSize(int32_t index, int32_t oldValue, int32_t newValue);
  virtual void Assign(const TSSHeader& source);
  // Many entries at once (column and row insertion and deletion), in time linear in the
  // explicit entries.
  void InsertEntries(int32_t index, int32_t count, uint16_t size);
  void DeleteEntries(int32_t index, int32_t count);

  uint16_t DefaultSize() const { return default_.Size; }
  void SetDefaultSize(uint16_t size);
  HeaderEntry Entry(int32_t index) const;
  // 0 for a hidden index.
  uint16_t Size(int32_t index) const;
  bool IsVisible(int32_t index) const { return !(Entry(index).Flags & kHeaderHidden); }
  bool IsResizeLocked(int32_t index) const { return Entry(index).Flags & kHeaderResizeLocked; }
  bool IsDefaultState(int32_t index) const { return Entry(index).Flags & kHeaderDefaultSize; }
  bool IsProtectionLocked(int32_t index) const {
    return Entry(index).Flags & kHeaderProtectionLocked;
  }
  bool IsAutoSized(int32_t index) const { return Entry(index).Flags & kHeaderAutoSized; }
  // Sizes are 16-bit: larger values are cut to 65535, negative ones to 0.
  void SetSize(int32_t index, int32_t size);
  void SetVisible(int32_t index, bool visible);
  void SetResizeLocked(int32_t index, bool locked);
  void SetProtectionLocked(int32_t index, bool locked);
  // Stores beyond the explicit entries fill every index in between with the default entry.
  void StoreEntry(int32_t index, const HeaderEntry& entry);

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  HeaderKind Kind() const { return kind_; }

 private:
  void SetFlag(int32_t index, uint32_t flag, bool on);
  bool RaiseResize(int32_t index, uint16_t& newSize);
  void LayoutChanged(int32_t index);

  TSSDataStorage* storage_;
  HeaderKind kind_;
  HeaderEntry default_;
  std::vector<HeaderEntry> entries_;
};

}  // namespace workbook
