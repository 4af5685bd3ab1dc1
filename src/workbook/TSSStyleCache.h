#pragma once
// The book's shared style entries and fonts.
//
// Reference protocol: every stored cell record holds one reference on its entry (the storage's
// write path takes and drops them), and every live TSSCellStyle holds one on the entry it points
// at. Entry 0 is the default style: it is never freed and its count is 1 plus its users. Any
// other entry is freed when its count drops below 1. Fonts are never freed before Reset, so
// entries may point at them freely.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FontMetrics.h"
#include "workbook/Errors.h"
#include "workbook/SSPalette.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {

class ModelListener;
class TSSDefaultStyle;
class StorageHost;

// The book font the default style starts with.
struct BookFont {
  std::string Name = "Tahoma";
  uint8_t Size = 8;
  uint8_t Style = 0;
  uint8_t Charset = 1;
  ColorValue Color = 0;  // RGB black
};

class TSSStyleCache {
 public:
  // listener may be null (no repaint or modified notifications).
  explicit TSSStyleCache(ModelListener* listener, const BookFont& bookFont = BookFont{});
  virtual ~TSSStyleCache();
  TSSStyleCache(const TSSStyleCache&) = delete;
  TSSStyleCache& operator=(const TSSStyleCache&) = delete;

  // A font equal to the description, created and measured when there is none.
  virtual TSSFontRec* FindOrAddFont(const std::string& name, uint8_t style, TSSColor color,
                                    uint8_t size, uint8_t charset);
  // This cache's font equal to a font of another cache.
  virtual TSSFontRec* ImportFont(const TSSFontRec& font);
  // This cache's entry equal to an entry of another cache, with one more reference.
  virtual StyleEntry* ImportEntry(const StyleEntry& entry);

  // An entry equal to the working copy (found or added), with one more reference.
  StyleEntry* FindOrAddEntry(const StyleEntry& working);
  void AddRef(StyleEntry* entry) {
    if (entry) ++entry->RefCount;
  }
  // Copies a style over entry 0 in place, keeping its reference count.
  void OverwriteDefault(const StyleEntry& style);
  // One reference less; an entry other than entry 0 is freed below 1.
  void Release(StyleEntry* entry) {
    if (!entry) return;
    --entry->RefCount;
    if (entry != DefaultEntry() && entry->RefCount < 1) RemoveEntry(entry);
  }
  // Index of an equal entry, or -1.
  int FindEntry(const StyleEntry& entry) const;
  // Raises EStyleError "Invalid cell style" for an index beyond the list.
  StyleEntry* EntryAt(int index) const;
  StyleEntry* DefaultEntry() const { return entries_.front().get(); }
  // The entry belongs to this cache (and is alive).
  bool Owns(const StyleEntry* entry) const {
    return entry && entry->cacheIndex_ < entries_.size() &&
           entries_[entry->cacheIndex_].get() == entry;
  }
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  // Some entry wraps its text (WordBreak, with a font): only then can a row's height follow
  // its content.
  bool HasWrappingEntry() const {
    for (const auto& e : entries_)
      if (e && e->WordBreak && e->Font) return true;
    return false;
  }
  int FontCount() const { return static_cast<int>(fonts_.size()); }
  TSSFontRec* FontAt(int index) const;

  // Back to one default entry and its font (skipped while the update counter is above 0).
  void Reset();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
  }

  ColorPalette& Palette() { return palette_; }
  const ColorPalette& Palette() const { return palette_; }
  ModelListener* Listener() const { return listener_; }

  // The book's DefaultStyle object, bound to entry 0. host may be null until a book owns it.
  TSSDefaultStyle& DefaultStyle();
  void SetHost(StorageHost* host) { host_ = host; }
  StorageHost* Host() const { return host_; }

  // Measures "Wg" in a font; a canvas may be installed, the default uses the platform's font
  // metrics.
  using FontMeasurer = std::function<void(TSSFontRec&)>;
  void SetFontMeasurer(FontMeasurer measurer) { measurer_ = std::move(measurer); }
  // Screen pixels per inch, read once at start-up; 96 until then.
  static int ScreenPixelsPerInch();
  static void SetScreenPixelsPerInch(int ppi);

  // Guard of the neighbour-border rule (an edge set on a neighbour does not recurse).
  bool neighbourUpdate = false;

 private:
  void Measure(TSSFontRec& font);
  void RemoveEntry(StyleEntry* entry);

  ModelListener* listener_;
  StorageHost* host_ = nullptr;
  std::vector<std::unique_ptr<StyleEntry>> entries_;
  std::vector<std::unique_ptr<TSSFontRec>> fonts_;
  ColorPalette palette_;
  FontMeasurer measurer_;
  int updateCount_ = 0;
  std::unique_ptr<TSSDefaultStyle> defaultStyle_;
};

// The platform font a style font measures with: its point size at the screen resolution.
platform::FontDescription FontDescriptionOf(const TSSFontRec& font);

}  // namespace workbook
