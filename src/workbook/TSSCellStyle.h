#pragma once
// Style objects: the editable view of one cell's shared style entry (or of the book's default
// style). Every setter edits a private working copy and reports the change; the cache then
// finds or adds the entry equal to it, the cell is moved to that entry through the storage's
// write path (undoable, raises the cell-change event) and the old entry is released.
//
// A style object holds one reference on the entry it points at for as long as it lives.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "workbook/SSStyleTypes.h"

namespace workbook {

class TSSCellStyle;
class TSSDataStorage;
class TSSStyleCache;

enum class StyleChange : uint8_t {
  Alignment = 0,  // alignments and word break
  Merged = 1,
  Flags = 2,  // locked and read-only
  Brush = 4,
  Edge = 5,
  Font = 6,
  Format = 7,
  WholeEntry = 8,
};

// Base of the part objects (font, brush, edge).
class TSSStyle {
 public:
  explicit TSSStyle(TSSCellStyle& owner) : owner_(owner) {}
  virtual ~TSSStyle() = default;
  TSSStyle(const TSSStyle&) = delete;
  TSSStyle& operator=(const TSSStyle&) = delete;
  TSSCellStyle& Owner() const { return owner_; }
  // Fires after every reported change of this part.
  std::function<void()> OnChange;

 protected:
  virtual void Changed(StyleChange kind);
  TSSCellStyle& owner_;
};

class TSSFont : public TSSStyle {
 public:
  using TSSStyle::TSSStyle;
  const std::string& Name() const;
  uint8_t Size() const;
  uint8_t Style() const;  // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
  uint8_t Charset() const;
  TSSColor FontColor() const;
  void SetName(const std::string& name);
  void SetSize(uint8_t size);
  void SetStyle(uint8_t style);
  void SetCharset(uint8_t charset);
  void SetFontColor(int color);  // 56 and above store 57
  void SetAll(const std::string& name, uint8_t size, int color, uint8_t charset, uint8_t style);
  const TSSFontRec& Rec() const;
};

class TSSBrush : public TSSStyle {
 public:
  using TSSStyle::TSSStyle;
  TSSFillStyle Style() const;
  TSSColor BackgroundColor() const;
  TSSColor ForegroundColor() const;
  void SetStyle(TSSFillStyle style);
  void SetBackgroundColor(int color);
  void SetForegroundColor(int color);
  void SetAll(TSSFillStyle style, int background, int foreground);
};

class TSSEdgeStyle : public TSSStyle {
 public:
  TSSEdgeStyle(TSSCellStyle& owner, EdgeSide edge) : TSSStyle(owner), edge_(edge) {}
  // The effective line style and colour (merged areas, filled cells, default edges).
  TSSEdgeLineStyle Style() const;
  TSSColor Color() const;
  void SetStyle(TSSEdgeLineStyle style);
  void SetColor(int color);
  void SetAll(TSSEdgeLineStyle style, int color);
  // Stores the values without reporting a change.
  void SetRaw(TSSEdgeLineStyle style, int color);
  EdgeSide Edge() const { return edge_; }

 private:
  EdgeSide edge_;
};

class TSSBorderStyle {
 public:
  explicit TSSBorderStyle(TSSCellStyle& owner);
  virtual ~TSSBorderStyle() = default;
  TSSEdgeStyle& Left() { return Edge(edgeLeft); }
  TSSEdgeStyle& Top() { return Edge(edgeTop); }
  TSSEdgeStyle& Right() { return Edge(edgeRight); }
  TSSEdgeStyle& Bottom() { return Edge(edgeBottom); }
  // For the default style the right and bottom edges are the left and top objects.
  TSSEdgeStyle& Edge(EdgeSide edge);

 private:
  TSSCellStyle& owner_;
  std::array<std::unique_ptr<TSSEdgeStyle>, 4> edges_;
};

// The default style's borders: vertical lines (left/right) and horizontal lines (top/bottom).
class TSSDefaultBorders {
 public:
  explicit TSSDefaultBorders(TSSBorderStyle& borders) : borders_(borders) {}
  TSSEdgeStyle& VerticalBorders() { return borders_.Left(); }
  TSSEdgeStyle& HorizontalBorders() { return borders_.Top(); }
  void Assign(TSSDefaultBorders& source);

 private:
  TSSBorderStyle& borders_;
};

class TSSCellStyle {
 public:
  // Bound to a cell: points at the cell's entry (entry 0 for a cell without a record).
  TSSCellStyle(TSSDataStorage& storage, int32_t col, int32_t row);
  virtual ~TSSCellStyle();
  TSSCellStyle(const TSSCellStyle&) = delete;
  TSSCellStyle& operator=(const TSSCellStyle&) = delete;

  bool Locked() const { return working_.Flags & kStyleLocked; }
  void SetLocked(bool locked);
  bool ReadOnlyFlag() const { return working_.Flags & kStyleReadOnly; }
  // The one setter a read-only flag does not block (so it can be cleared again).
  void SetReadOnlyFlag(bool readOnly);
  bool Merged() const { return working_.Flags & kStyleMerged; }
  void SetMerged(bool merged);
  // The published format number (0..37) and the stored code behind it.
  int Format() const;
  void SetFormat(int value);
  uint16_t FormatCode() const { return working_.Format; }
  void SetFormatCode(uint16_t code);
  THorzTextAlign HorzTextAlign() const { return working_.HorzAlign; }
  void SetHorzTextAlign(THorzTextAlign align);
  TVertTextAlign VertTextAlign() const { return working_.VertAlign; }
  void SetVertTextAlign(TVertTextAlign align);
  bool WordBreak() const { return working_.WordBreak; }
  void SetWordBreak(bool wordBreak);
  TSSFont& Font() { return font_; }
  TSSBrush& Brush() { return brush_; }
  TSSBorderStyle& Borders() { return *borders_; }

  // Copies alignments, format, word break, the four edges, font, brush and the read-only flag.
  void Assign(TSSCellStyle& source);
  // Applies a whole entry (file reader, clipboard): fill, font, the borders that are not
  // lsDefault (all four with allBorders), format, alignments, word break and flags except the
  // merged bit; one change.
  void ApplyEntry(const StyleEntry& entry, bool allBorders);
  // ApplyEntry's rule for every field but the font, on a bare entry (the file reader merges
  // into entries that no cell holds yet).
  static void MergeEntryFields(StyleEntry& target, const StyleEntry& entry, bool allBorders);
  // Every field of an entry (merged bit and all borders included) with the given font, in one
  // change; with force even a read-only style takes it (undo restores exactly).
  void SetWholeStyle(const StyleEntry& entry, const TSSFontRec& font, bool force);
  void SetEdge(EdgeSide edge, TSSEdgeLineStyle style, int color);
  void SetFontRec(const TSSFontRec& font);

  // Changes are refused: the read-only flag, or a read-only book or sheet (not for the
  // default style).
  bool IsReadOnly() const;
  virtual bool IsDefaultStyle() const { return false; }
  // Changes are collected while the counter is above 0 and reported once at the end.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  std::function<void()> OnChange;

  StyleEntry* Entry() const { return entry_; }
  const StyleEntry& Working() const { return working_; }
  StyleEntry& MutableWorking() { return working_; }
  TSSStyleCache& Cache() const { return cache_; }
  TSSDataStorage* Storage() const { return storage_; }
  int32_t Col() const { return col_; }
  int32_t Row() const { return row_; }

  TSSEdgeLineStyle EffectiveEdgeStyle(EdgeSide edge) const;
  TSSColor EffectiveEdgeColor(EdgeSide edge) const;

  virtual void Changed(StyleChange kind, EdgeSide edge = edgeLeft);
  virtual void FontMetricsChanged(int32_t oldHeight, int32_t newHeight);

 protected:
  explicit TSSCellStyle(TSSStyleCache& cache);  // the default style
  virtual void ApplyChange(StyleChange kind, EdgeSide edge);
  void SetFlag(uint8_t flag, bool on, StyleChange kind);

  TSSStyleCache& cache_;
  TSSDataStorage* storage_ = nullptr;
  int32_t col_ = -1;
  int32_t row_ = -1;
  StyleEntry* entry_ = nullptr;
  StyleEntry working_;
  int updateCount_ = 0;
  bool pending_ = false;
  bool dirty_ = false;
  TSSFont font_;
  TSSBrush brush_;
  std::unique_ptr<TSSBorderStyle> borders_;
};

class TSSDefaultStyle : public TSSCellStyle {
 public:
  explicit TSSDefaultStyle(TSSStyleCache& cache);
  ~TSSDefaultStyle() override;
  bool IsDefaultStyle() const override { return true; }
  TSSDefaultBorders& DefaultBorders() { return defaultBorders_; }
  // Re-reads entry 0 (after the cache's Reset).
  void Rebind();

 protected:
  void ApplyChange(StyleChange kind, EdgeSide edge) override;

 private:
  TSSDefaultBorders defaultBorders_;
};

}  // namespace workbook
