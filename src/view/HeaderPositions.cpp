#include "view/HeaderPositions.h"

#include "workbook/TSSHeader.h"

namespace view {

void HeaderPositions::Rebuild(const workbook::TSSHeader& header) {
  const int32_t count = header.Count();
  sizes_.assign(static_cast<size_t>(count), 0);
  tree_.assign(static_cast<size_t>(count) + 1, 0);
  total_ = 0;
  for (int32_t i = 0; i < count; ++i) {
    sizes_[static_cast<size_t>(i)] = header.Size(i);
    tree_[static_cast<size_t>(i) + 1] += sizes_[static_cast<size_t>(i)];
    total_ += sizes_[static_cast<size_t>(i)];
  }
  // Linear construction: each node passes its sum to its parent.
  for (size_t i = 1; i < tree_.size(); ++i) {
    const size_t parent = i + (i & (~i + 1));
    if (parent < tree_.size()) tree_[parent] += tree_[i];
  }
  defaultSize_ = header.DefaultSize();
}

void HeaderPositions::Resized(int32_t index, uint16_t size) {
  if (index < 0) return;
  if (index >= ExplicitCount()) {
    // Entries in between take the default size, as the header stores them.
    const auto old = static_cast<int32_t>(sizes_.size());
    for (int32_t i = old; i <= index; ++i) {
      sizes_.push_back(defaultSize_);
      tree_.push_back(0);
      // A new node n covers (n - lowbit(n), n]: its sum comes from the nodes it spans.
      const size_t n = tree_.size() - 1;
      int64_t sum = defaultSize_;
      for (size_t k = n - 1, stop = n - (n & (~n + 1)); k > stop; k -= (k & (~k + 1)))
        sum += tree_[k];
      tree_[n] = sum;
      total_ += defaultSize_;
    }
  }
  const int64_t delta = static_cast<int64_t>(size) - sizes_[static_cast<size_t>(index)];
  sizes_[static_cast<size_t>(index)] = size;
  total_ += delta;
  for (size_t i = static_cast<size_t>(index) + 1; i < tree_.size(); i += (i & (~i + 1)))
    tree_[i] += delta;
}

uint16_t HeaderPositions::Size(int32_t index) const {
  if (index < 0) return 0;
  return index < ExplicitCount() ? sizes_[static_cast<size_t>(index)] : defaultSize_;
}

int64_t HeaderPositions::Offset(int32_t index) const {
  if (index <= 0) return 0;
  if (index > ExplicitCount())
    return total_ + static_cast<int64_t>(index - ExplicitCount()) * defaultSize_;
  int64_t sum = 0;
  for (size_t i = static_cast<size_t>(index); i > 0; i -= (i & (~i + 1))) sum += tree_[i];
  return sum;
}

int32_t HeaderPositions::IndexAt(int64_t pixels, int32_t limit) const {
  if (pixels < 0) pixels = 0;
  int32_t index;
  if (pixels >= total_) {
    if (defaultSize_ == 0) return limit;
    const int64_t beyond = (pixels - total_) / defaultSize_;
    index = beyond >= limit ? limit : ExplicitCount() + static_cast<int32_t>(beyond);
  } else {
    // Binary lifting: the largest prefix whose sum stays <= pixels.
    size_t pos = 0;
    int64_t rest = pixels;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step < tree_.size() && tree_[pos + step] <= rest) {
        pos += step;
        rest -= tree_[pos];
      }
    }
    index = static_cast<int32_t>(pos);
  }
  return index < limit ? index : limit;
}

}  // namespace view
