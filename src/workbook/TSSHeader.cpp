#include "workbook/TSSHeader.h"

#include <algorithm>
#include <cmath>

#include "workbook/TSSDataStorage.h"

namespace workbook {
namespace {
uint16_t ClampSize(int64_t size) {
  return static_cast<uint16_t>(std::clamp<int64_t>(size, 0, 65535));
}
}  // namespace

TSSHeader::TSSHeader(TSSDataStorage* storage, uint16_t defaultSize, HeaderKind kind)
    : storage_(storage), kind_(kind) {
  default_.Size = defaultSize;
}

void TSSHeader::ClearEntries() { entries_.clear(); }

void TSSHeader::DeleteEntry(int32_t index) {
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
}

HeaderEntry TSSHeader::Entry(int32_t index) const {
  if (index < 0 || index >= Count()) return default_;
  return entries_[static_cast<size_t>(index)];
}

uint16_t TSSHeader::Size(int32_t index) const {
  const HeaderEntry e = Entry(index);
  return (e.Flags & kHeaderHidden) ? 0 : e.Size;
}

void TSSHeader::StoreEntry(int32_t index, const HeaderEntry& entry) {
  if (index < 0 || index >= kFarEdge) return;
  if (index >= Count()) entries_.resize(static_cast<size_t>(index) + 1, default_);
  entries_[static_cast<size_t>(index)] = entry;
}

int64_t TSSHeader::Distance(int32_t fromIndex, int32_t toIndex) const {
  if (fromIndex == toIndex) return 0;
  const bool negate = toIndex < fromIndex;
  int32_t a = std::max(0, std::min(fromIndex, toIndex));
  const int32_t b = std::max(0, std::max(fromIndex, toIndex));
  int64_t sum = 0;
  // Explicit entries one by one; everything beyond them has the default size.
  for (; a < b && a < Count(); ++a) sum += Size(a);
  if (a < b) sum += int64_t{b - a} * default_.Size;
  return negate ? -sum : sum;
}

int32_t TSSHeader::NextVisible(int32_t index, bool forward) const {
  const auto visible = [this](int32_t i) { return Size(i) > 0; };
  if (forward) {
    int32_t i = std::max(index + 1, 0);
    while (i < kFarEdge && !visible(i)) {
      // Beyond the explicit entries only the default entry answers.
      if (i >= Count()) return kFarEdge;
      ++i;
    }
    return i;
  }
  for (int32_t i = std::max(index - 1, 0); i >= 0; --i)
    if (visible(i)) return i;
  int32_t i = std::max(index, 0);
  while (i < kFarEdge && !visible(i)) {
    if (i >= Count()) return kFarEdge;
    ++i;
  }
  return i;
}

int32_t TSSHeader::CountFitting(int32_t index, int32_t pixels, bool forward) const {
  int32_t result = index;
  int64_t sum = 0;
  for (int32_t i = index; i >= 0 && i < kFarEdge; i += forward ? 1 : -1) {
    sum += Size(i);
    if (sum >= pixels) break;
    result = i;
    // Beyond the explicit entries every size is the default one: jump to the answer.
    if (forward && i >= Count() && default_.Size > 0) {
      const int64_t more = (int64_t{pixels} - sum - 1) / default_.Size;
      result =
          static_cast<int32_t>(std::min<int64_t>(i + std::max<int64_t>(more, 0), kFarEdge - 1));
      break;
    }
  }
  return result;
}

int32_t TSSHeader::IndexAtDistance(int32_t index, int32_t pixels, bool forward) const {
  int32_t i = std::max(index, 0);
  int64_t sum = 0;
  while (i >= 0 && i < kFarEdge) {
    if (forward && i >= Count()) {
      // Only default sizes from here on.
      if (default_.Size == 0) return kFarEdge;
      const int64_t steps =
          std::max<int64_t>(1, (int64_t{pixels} - sum + default_.Size - 1) / default_.Size);
      return static_cast<int32_t>(std::min<int64_t>(i + steps - 1, kFarEdge - 1));
    }
    sum += Size(i);
    if (sum >= pixels) break;
    if (!forward && i == 0) break;
    i += forward ? 1 : -1;
  }
  if (Size(i) > 0) return i;
  return NextVisible(i, forward);
}

bool TSSHeader::RaiseResize(int32_t index, uint16_t& newSize) {
  if (storage_) storage_->Host().Listener().ResizeHeader(*storage_, kind_, index, newSize);
  return true;
}

void TSSHeader::LayoutChanged(int32_t index) {
  if (storage_) storage_->Host().Listener().HeaderLayoutChanged(*storage_, kind_, index);
}

void TSSHeader::SetSize(int32_t index, int32_t size) {
  if (index < 0) return;
  HeaderEntry e = Entry(index);
  uint16_t newSize = ClampSize(size);
  if (e.Size == newSize || (e.Flags & kHeaderResizeLocked)) return;
  RaiseResize(index, newSize);
  if (newSize == e.Size) return;
  e.Flags &= ~(kHeaderDefaultSize | kHeaderAutoSized);
  e.Size = newSize;
  StoreEntry(index, e);
  LayoutChanged(index);
}

void TSSHeader::SetDefaultSize(uint16_t size) {
  if (size == 0 || size == default_.Size) return;
  for (HeaderEntry& e : entries_)
    if (e.Flags & kHeaderDefaultSize) e.Size = size;
  default_.Size = size;
}

void TSSHeader::SetVisible(int32_t index, bool visible) {
  if (index < 0) return;
  HeaderEntry e = Entry(index);
  const bool wasVisible = !(e.Flags & kHeaderHidden);
  if (wasVisible == visible) return;
  if (visible)
    e.Flags &= ~kHeaderHidden;
  else
    e.Flags |= kHeaderHidden;
  StoreEntry(index, e);
  if (!storage_) return;
  ModelListener& listener = storage_->Host().Listener();
  listener.HeaderVisibilityChanged(*storage_, kind_, index, wasVisible, visible);
  const TRect sel = storage_->Selection();
  if (!visible && kind_ == HeaderKind::Rows && sel.Top <= index && index <= sel.Bottom) {
    // A hidden row never keeps the selection: it moves to the first visible row below.
    const int32_t row = NextVisible(index, true);
    storage_->SetSelection(TRect{sel.Left, row, sel.Right, row});
  }
  listener.Repaint();
}

void TSSHeader::SetFlag(int32_t index, uint32_t flag, bool on) {
  if (index < 0) return;
  HeaderEntry e = Entry(index);
  const uint32_t flags = on ? (e.Flags | flag) : (e.Flags & ~flag);
  if (flags == e.Flags) return;
  e.Flags = flags;
  StoreEntry(index, e);
}

void TSSHeader::SetResizeLocked(int32_t index, bool locked) {
  SetFlag(index, kHeaderResizeLocked, locked);
}

void TSSHeader::SetProtectionLocked(int32_t index, bool locked) {
  SetFlag(index, kHeaderProtectionLocked, locked);
}

void TSSHeader::InsertEntry(int32_t index, uint16_t size, bool resizeLocked, bool visible,
                            bool defaultState) {
  if (index < 0) return;
  HeaderEntry e;
  e.Flags = (resizeLocked ? kHeaderResizeLocked : 0) | (visible ? 0 : kHeaderHidden) |
            (defaultState ? kHeaderDefaultSize : 0);
  e.ScaleMark = 0;
  e.Size = size;
  if (index < Count()) {
    entries_.insert(entries_.begin() + index, e);
  } else if (!defaultState) {
    StoreEntry(index, e);
  }
}

void TSSHeader::ScaleSize(int32_t index, int32_t oldValue, int32_t newValue) {
  if (index < 0 || oldValue == 0) return;
  HeaderEntry e = Entry(index);
  if (newValue == e.ScaleMark) return;
  uint16_t newSize = ClampSize(std::llround(static_cast<double>(e.Size) * newValue / oldValue));
  const bool autoSized = e.Flags & kHeaderAutoSized;
  const bool defaultState = e.Flags & kHeaderDefaultSize;
  if (e.Size >= newSize && !autoSized && (!defaultState || e.Size == newSize || newSize == 0))
    return;
  RaiseResize(index, newSize);
  if (newSize == e.Size) return;
  if (newSize == 0) {
    newSize = default_.Size;
    e.Flags = (e.Flags & ~kHeaderAutoSized) | kHeaderDefaultSize;
  } else {
    e.Flags = (e.Flags & ~kHeaderDefaultSize) | kHeaderAutoSized;
  }
  e.Size = newSize;
  e.ScaleMark = newValue;
  StoreEntry(index, e);
  if (storage_ && !storage_->Host().Listener().IsLocked()) LayoutChanged(index);
}

void TSSHeader::InsertEntries(int32_t index, int32_t count, uint16_t size) {
  if (index < 0 || count <= 0 || index >= Count()) return;  // beyond: the default answers
  HeaderEntry e;
  e.Flags = kHeaderDefaultSize;
  e.ScaleMark = 0;
  e.Size = size;
  const int64_t room = int64_t{kFarEdge} - Count();
  entries_.insert(entries_.begin() + index,
                  static_cast<size_t>(std::min<int64_t>(count, std::max<int64_t>(room, 0))), e);
}

void TSSHeader::DeleteEntries(int32_t index, int32_t count) {
  if (index < 0 || count <= 0 || index >= Count()) return;
  const int32_t end = static_cast<int32_t>(std::min<int64_t>(int64_t{index} + count, Count()));
  entries_.erase(entries_.begin() + index, entries_.begin() + end);
}

void TSSHeader::Assign(const TSSHeader& source) {
  default_ = source.default_;
  entries_ = source.entries_;
}

}  // namespace workbook
