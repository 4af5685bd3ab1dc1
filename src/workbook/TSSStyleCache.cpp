#include "workbook/TSSStyleCache.h"

#include <algorithm>
#include <cmath>

#include "workbook/SSIntf.h"
#include "workbook/TSSCellStyle.h"

namespace workbook {
namespace {
int gScreenPpi = 96;

int MulDiv(int a, int b, int c) {
  return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

bool IsDefaultFaceName(const std::string& name) {
  static const char kDefault[] = "default";
  if (name.size() != 7) return false;
  for (size_t i = 0; i < 7; ++i) {
    const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
    if (c != kDefault[i]) return false;
  }
  return true;
}
}  // namespace

int TSSStyleCache::ScreenPixelsPerInch() { return gScreenPpi; }
void TSSStyleCache::SetScreenPixelsPerInch(int ppi) {
  if (ppi > 0) gScreenPpi = ppi;
}

TSSStyleCache::TSSStyleCache(ModelListener* listener, const BookFont& bookFont)
    : listener_(listener), palette_(DefaultPalette()) {
  auto entry = std::make_unique<StyleEntry>();
  entry->Font = FindOrAddFont(bookFont.Name, bookFont.Style,
                              PaletteIndexOf(palette_, bookFont.Color, kAutomaticColor),
                              bookFont.Size, bookFont.Charset);
  entry->RefCount = 1;
  entries_.push_back(std::move(entry));
}

TSSStyleCache::~TSSStyleCache() = default;

TSSDefaultStyle& TSSStyleCache::DefaultStyle() {
  if (!defaultStyle_) defaultStyle_ = std::make_unique<TSSDefaultStyle>(*this);
  return *defaultStyle_;
}

void TSSStyleCache::Measure(TSSFontRec& font) {
  if (measurer_) {
    measurer_(font);
    return;
  }
  // Without a canvas: the platform's font metrics (an estimate from the size where no font is).
  const platform::FontMetrics& metrics = platform::SharedFontMetrics(FontDescriptionOf(font));
  font.WgHeight = metrics.Metrics().height;
  font.WgWidth = metrics.TextWidth("Wg");
}

platform::FontDescription FontDescriptionOf(const TSSFontRec& font) {
  platform::FontDescription desc;
  desc.face = font.Name;
  // Sizes are points at the screen resolution read at start-up.
  desc.size = std::max(1, MulDiv(font.Size, TSSStyleCache::ScreenPixelsPerInch(), 72));
  desc.sizeInPixels = true;
  desc.bold = (font.Style & kFontBold) != 0;
  desc.italic = (font.Style & kFontItalic) != 0;
  return desc;
}

TSSFontRec* TSSStyleCache::FindOrAddFont(const std::string& name, uint8_t style, TSSColor color,
                                         uint8_t size, uint8_t charset) {
  TSSFontRec wanted;
  // "Default" names the system's default face.
  wanted.Name = IsDefaultFaceName(name) ? std::string("Tahoma") : name;
  wanted.Style = style & 0x0F;
  wanted.Color = NormalizeColor(color);
  wanted.Size = size;
  wanted.Charset = charset;
  for (const auto& f : fonts_)
    if (f->SameFont(wanted)) return f.get();
  auto font = std::make_unique<TSSFontRec>(wanted);
  Measure(*font);
  fonts_.push_back(std::move(font));
  return fonts_.back().get();
}

TSSFontRec* TSSStyleCache::ImportFont(const TSSFontRec& font) {
  return FindOrAddFont(font.Name, font.Style, font.Color, font.Size, font.Charset);
}

StyleEntry* TSSStyleCache::ImportEntry(const StyleEntry& entry) {
  StyleEntry copy = entry;
  copy.Font = entry.Font ? ImportFont(*entry.Font) : DefaultEntry()->Font;
  return FindOrAddEntry(copy);
}

StyleEntry* TSSStyleCache::FindOrAddEntry(const StyleEntry& working) {
  const int found = FindEntry(working);
  if (found >= 0) {
    StyleEntry* e = entries_[static_cast<size_t>(found)].get();
    ++e->RefCount;
    return e;
  }
  auto entry = std::make_unique<StyleEntry>(working);
  if (!entry->Font) entry->Font = DefaultEntry()->Font;
  entry->RefCount = 1;
  entry->cacheIndex_ = entries_.size();
  entries_.push_back(std::move(entry));
  return entries_.back().get();
}

void TSSStyleCache::OverwriteDefault(const StyleEntry& style) {
  StyleEntry* def = DefaultEntry();
  const int32_t refs = def->RefCount;
  *def = style;
  def->RefCount = refs;
  def->cacheIndex_ = 0;
  if (!def->Font) def->Font = fonts_.front().get();
}

void TSSStyleCache::RemoveEntry(StyleEntry* entry) {
  const size_t index = entry->cacheIndex_;
  if (index == 0 || index >= entries_.size() || entries_[index].get() != entry) return;
  // The order of entries other than entry 0 has no meaning: the last one takes the place.
  if (index != entries_.size() - 1) {
    entries_[index] = std::move(entries_.back());
    entries_[index]->cacheIndex_ = index;
  }
  entries_.pop_back();
}

int TSSStyleCache::FindEntry(const StyleEntry& entry) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i]->SameStyle(entry)) return static_cast<int>(i);
  return -1;
}

StyleEntry* TSSStyleCache::EntryAt(int index) const {
  if (index < 0 || index >= EntryCount()) throw EStyleError("Invalid cell style");
  return entries_[static_cast<size_t>(index)].get();
}

TSSFontRec* TSSStyleCache::FontAt(int index) const {
  if (index < 0 || index >= FontCount()) throw EStyleError("Invalid cell style");
  return fonts_[static_cast<size_t>(index)].get();
}

void TSSStyleCache::Reset() {
  if (updateCount_ > 0) return;
  StyleEntry* def = DefaultEntry();
  // Keep the default entry's font at position 0 and drop every other font and entry.
  for (size_t i = 0; i < fonts_.size(); ++i) {
    if (fonts_[i].get() == def->Font) {
      std::swap(fonts_[0], fonts_[i]);
      break;
    }
  }
  fonts_.resize(1);
  entries_.resize(1);
  def->RefCount = 1;
  if (defaultStyle_) defaultStyle_->Rebind();
}

}  // namespace workbook
