#pragma once
// Pixel positions of the columns or the rows of one sheet, in O(log n) for any index: a Fenwick
// tree over the sizes of the header's explicit entries, and arithmetic on the default size
// beyond them. Offsets are 64-bit: a million rows of 65,535 pixels do not fit 32 bits.
//
// The tree is a copy: whoever changes header sizes calls Resized (one index) or Rebuild (many).
// Hidden items count with size 0, so they take no space.
#include <cstdint>
#include <vector>

namespace workbook {
class TSSHeader;
}

namespace view {

class HeaderPositions {
 public:
  void Rebuild(const workbook::TSSHeader& header);
  // One item's size changed (0 when it became hidden).
  void Resized(int32_t index, uint16_t size);

  uint16_t Size(int32_t index) const;
  // Sum of the sizes of items 0 .. index - 1.
  int64_t Offset(int32_t index) const;
  // The item whose extent holds `pixels` (measured from item 0), skipping items of size 0:
  // Offset(i) <= pixels < Offset(i + 1). `limit` when pixels lie beyond every item before it.
  int32_t IndexAt(int64_t pixels, int32_t limit) const;
  int32_t ExplicitCount() const { return static_cast<int32_t>(sizes_.size()); }

 private:
  int64_t ExplicitTotal() const { return total_; }
  std::vector<uint16_t> sizes_;
  std::vector<int64_t> tree_;  // 1-based Fenwick tree over sizes_
  int64_t total_ = 0;
  uint16_t defaultSize_ = 0;
};

}  // namespace view
