#include "view/BookControl.h"

#include <algorithm>
#include <optional>

#include "ui/Keys.h"
#include "view/SheetPainter.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSHeader.h"

namespace view {

using workbook::HeaderKind;
using workbook::TPoint;
using workbook::TRect;

namespace {

// Raises a flag for a scope; a nested scope leaves it to the outer one to lower.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), outer_(!flag) { flag_ = true; }
  ~FlagScope() {
    if (outer_) flag_ = false;
  }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool outer_;
};

}  // namespace

BookControl::BookControl(ui::Control* parent, TSpreadSheetBook& book)
    : ui::CustomControl(parent, "Book"),
      book_(book),
      measurer_(&PlatformMeasurer()),
      editor_(PlatformMeasurer()),
      renameEditor_(PlatformMeasurer(), false),
      mouse_(*this) {
  SetWantTabs(true);
  SetFont(ui::Font{"MS Sans Serif", 8});
  timer_.SetInterval(10);
  timer_.OnTimer = [this] { mouse_.Tick(); };
  book_.Listener().openEditor = [this](workbook::TSSBookSheet& sheet) {
    if (&sheet == Sheet()) OpenEditor();
  };
  book_.Listener().headerChanged = [this](workbook::TSSDataStorage& storage, HeaderKind kind,
                                          int32_t index) {
    workbook::TSSBookSheet* sheet = Sheet();
    if (!sheet || &sheet->Storage() != &storage || positionsDirty_) return;
    workbook::TSSHeader& header =
        kind == HeaderKind::Columns ? sheet->ColumnHeader() : sheet->RowHeader();
    HeaderPositions& pos = kind == HeaderKind::Columns ? cols_ : rows_;
    if (header.Count() < pos.ExplicitCount())
      positionsDirty_ = true;
    else
      pos.Resized(index, header.Size(index));
  };
  book_.Listener().repaint = [this] { ModelRepainted(); };
  book_.Listener().editorShown = [this](const workbook::TSSBookSheet& sheet) {
    return &sheet == Sheet() && IsEditing();
  };
  book_.Listener().scrollIntoView = [this](workbook::TSSBookSheet& sheet, int32_t col,
                                           int32_t row) {
    if (&sheet == Sheet()) ScrollIntoView(col, row);
  };
  BookChanged();
}

BookControl::~BookControl() {
  book_.Listener().openEditor = nullptr;
  book_.Listener().headerChanged = nullptr;
  book_.Listener().repaint = nullptr;
  book_.Listener().editorShown = nullptr;
  book_.Listener().scrollIntoView = nullptr;
}

void BookControl::ModelRepainted() {
  if (layingOut_ || changePending_) return;
  BookChangedLater();
}

void BookControl::SetMeasurer(const TextMeasurer& measurer) {
  measurer_ = &measurer;
  editor_ = InplaceEditor(measurer);
  renameEditor_ = InplaceEditor(measurer, false);
  BookChanged();
}

ui::Rect BookControl::GridRect() const {
  ui::Rect r = ClientRect();
  if (book_.ShowCaptionBar) r.bottom = std::max(r.top, r.bottom - kTabStripHeight);
  return r;
}

TPoint BookControl::TopLeft() const {
  auto it = topLeft_.find(Sheet());
  return it == topLeft_.end() ? TPoint{} : it->second;
}

void BookControl::EnsurePositions() {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  if (sheet != positionsOf_ || positionsDirty_ ||
      sheet->ColumnHeader().Count() != cols_.ExplicitCount() ||
      sheet->RowHeader().Count() != rows_.ExplicitCount()) {
    cols_.Rebuild(sheet->ColumnHeader());
    rows_.Rebuild(sheet->RowHeader());
    positionsOf_ = sheet;
    positionsDirty_ = false;
  }
}

void BookControl::Relayout() {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  EnsurePositions();
  LayoutParams p;
  p.client = GridRect();
  p.rowHeaderWidth = sheet->ShowHeaders ? book_.RowHeaderWidth() : 0;
  p.colHeaderHeight = sheet->ShowHeaders ? book_.ColHeaderHeight() : 0;
  p.topLeft = TopLeft();
  p.showGrid = book_.ShowGrid() && sheet->ShowGrid;
  layout_.Build(*sheet, cols_, rows_, p, *measurer_);
  if (book_.ShowCaptionBar) {
    const ui::Rect c = ClientRect();
    tabs_.Build(book_,
                ui::Rect{c.left, std::max(c.top, c.bottom - kTabStripHeight), c.right, c.bottom},
                Font(), *measurer_);
  } else {
    tabs_.Build(book_, ui::Rect{}, Font(), *measurer_);
  }
}

void BookControl::BookChangedLater() {
  changePending_ = true;
  Damage(ClientRect());
}

void BookControl::Settle() const {
  // Logically const: the layout is a cache of the book, brought up to date before use.
  if (changePending_) const_cast<BookControl*>(this)->BookChanged();
}

void BookControl::BookChanged() {
  const FlagScope layingOut(layingOut_);
  changePending_ = false;
  positionsDirty_ = true;
  colors_.Refresh(book_);
  Relayout();
  UpdateScrollBars();
  Damage(ClientRect());
}

void BookControl::BoundsChanged() {
  Settle();
  Relayout();
  UpdateScrollBars();
  Damage(ClientRect());
}

void BookControl::UpdateScrollBars() {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  const TPoint tl = TopLeft();
  const auto bar = [&](ui::ScrollBarKind kind, bool shown, int32_t used, int32_t first,
                       int32_t lastWhole, int32_t position) {
    ui::ScrollBarState s;
    s.visible = shown;
    s.min = 0;
    const int32_t page = std::max(1, lastWhole - first + 1);
    // The range grows with the used area and with the view, and stops at the far edge.
    const int64_t max = std::max<int64_t>({used, static_cast<int64_t>(position) + page, 1});
    s.max = static_cast<int32_t>(std::min<int64_t>(max, workbook::kFarEdge - 1));
    s.page = page;
    s.position = position;
    SetScrollBar(kind, s);
  };
  const bool horz = book_.ScrollBars == view::TScrollBars::sbsHorizontal ||
                    book_.ScrollBars == view::TScrollBars::sbsBoth;
  const bool vert = book_.ScrollBars == view::TScrollBars::sbsVertical ||
                    book_.ScrollBars == view::TScrollBars::sbsBoth;
  const auto& cols = layout_.Columns();
  const auto& rows = layout_.Rows();
  bar(ui::ScrollBarKind::Horizontal, horz, sheet->Storage().UsedCols(),
      cols.empty() ? tl.X : cols.front().index, layout_.LastWholeColumn(), tl.X);
  bar(ui::ScrollBarKind::Vertical, vert, sheet->Storage().UsedRows(),
      rows.empty() ? tl.Y : rows.front().index, layout_.LastWholeRow(), tl.Y);
}

void BookControl::ScrollTo(TPoint target) {
  Settle();
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  target.X = std::clamp(target.X, 0, workbook::kFarEdge - 1);
  target.Y = std::clamp(target.Y, 0, workbook::kFarEdge - 1);
  if (target == TopLeft()) return;
  if (book_.events.OnTopLeftChanging) {
    book_.events.OnTopLeftChanging(*sheet, target);
    // Whatever the handler left, clamp again.
    target.X = std::clamp(target.X, 0, workbook::kFarEdge - 1);
    target.Y = std::clamp(target.Y, 0, workbook::kFarEdge - 1);
  }
  if (IsEditing()) CommitEdit();
  topLeft_[sheet] = target;
  Relayout();
  UpdateScrollBars();
  Damage(ClientRect());
}

void BookControl::ScrollIntoView(int32_t col, int32_t row) {
  Settle();
  if (!Sheet()) return;
  EnsurePositions();
  TPoint tl = TopLeft();
  const ui::Rect data = layout_.DataArea();
  const auto fit = [](const HeaderPositions& pos, int32_t index, int32_t first, int extent) {
    if (index < first) return index;
    // The first item from which `index` still ends inside the extent (index itself at least).
    const int64_t end = pos.Offset(index + 1);
    if (end - pos.Offset(first) <= extent) return first;
    const int64_t from = end - extent;
    int32_t i = pos.IndexAt(from, index);
    if (pos.Offset(i) < from) i = pos.IndexAt(pos.Offset(i + 1), index);
    return std::min(i, index);
  };
  tl.X = fit(cols_, col, tl.X, data.Width());
  tl.Y = fit(rows_, row, tl.Y, data.Height());
  ScrollTo(tl);
}

// ---------------------------------------------------------------------------------------------
// Editing

void BookControl::OpenEditor() {
  Settle();
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet || IsEditing()) return;
  const int32_t col = sheet->Storage().ActiveCol(), row = sheet->Storage().ActiveRow();
  if (col < 0 || row < 0 || !sheet->IsCellEditable(col, row)) return;
  if (!book_.Listener().CanEdit(*sheet, col, row)) return;
  ScrollIntoView(col, row);
  Relayout();
  const int c = layout_.ColumnPosition(col), r = layout_.RowPosition(row);
  // Only a cell with a view on screen gets an editor (a hidden item has none).
  if (c < 0 || r < 0) return;
  const CellView& v = layout_.At(static_cast<size_t>(c), static_cast<size_t>(r));
  ui::Rect rect;
  ui::Size minSize;
  if (v.merged >= 0) {
    const ui::Rect& m = layout_.MergedAreas()[static_cast<size_t>(v.merged)].rect;
    rect = ui::Rect{m.left + 1 + 3, m.top + 1 + 2, m.right + 1 - 3, m.bottom + 1 - 2};
    minSize = ui::Size{rect.Width(), rect.Height()};
  } else {
    const ui::Rect text = v.text;
    rect = ui::Rect{text.left + 3, v.cell.top + 2, text.right, v.cell.bottom};
    minSize = ui::Size{std::max(text.Width(), v.cell.Width()) - 5,
                       std::max(text.Height(), v.cell.Height()) - 5};
  }
  rect.bottom -= 1;
  const ui::Rect data = layout_.DataArea();
  rect.right = std::max(rect.right, data.left);
  rect.top = std::max(rect.top, data.top);
  const ui::Point origin{rect.left - 2, rect.top};
  editCol_ = col;
  editRow_ = row;
  editSheet_ = sheet;
  editor_.Start(sheet->Storage().CellEditText(col, row), CellFont(v.style->Font), origin, minSize,
                data);
  Damage(ClientRect());
}

void BookControl::EndEdit(bool write) {
  if (!IsEditing()) return;
  const std::string text = editor_.Text();
  const bool changed = editor_.Changed();
  editor_.Close();
  workbook::TSSBookSheet* sheet = Sheet();
  try {
    if (write && changed && sheet == editSheet_ && sheet)
      sheet->CellObject(editCol_, editRow_)->SetText(text);
  } catch (const std::exception& e) {
    Report(e);
  }
  if (book_.events.OnEndEdit) book_.events.OnEndEdit(book_);
  editSheet_ = nullptr;
  Relayout();
  Damage(ClientRect());
}

bool BookControl::CommitEdit() {
  if (!IsEditing()) return false;
  const bool changed = editor_.Changed();
  EndEdit(true);
  return changed;
}

void BookControl::CancelEdit() { EndEdit(false); }

void BookControl::Damage(const ui::Rect& r) {
  if (r.IsEmpty()) return;
  damage_.push_back(r);
  Invalidate(r);
}

void BookControl::Report(const std::exception& e) {
  if (OnError) OnError(e.what());
}

// ---------------------------------------------------------------------------------------------
// Painting

void BookControl::Paint(ui::Canvas& canvas) {
  Settle();
  const FlagScope layingOut(layingOut_);
  if (colors_.Refresh(book_)) Relayout();
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) {
    canvas.FillRect(ClientRect(), colors_.Special(CellColors::kSpecialBackground, false));
    return;
  }
  PaintOptions options;
  options.look = book_.PainterType == view::TSSPainterType::ptOffice97Style ||
                         book_.PainterType == view::TSSPainterType::ptStandard
                     ? HeaderLook::Raised
                     : HeaderLook::Flat;
  options.headerFont = Font();
  options.headerColor = ResolveColor(book_.HeaderColor);
  options.hideSelection = book_.HideSelection;
  options.r1c1 = book_.R1C1ReferenceStyle();
  options.selectionFrame = layout_.FrameRect(sheet->Selection(), cols_, rows_);
  SheetPainter painter(canvas, colors_);
  painter.Paint(layout_, options);
  if (IsEditing()) {
    const ui::Rect& r = editor_.Bounds();
    const CellView* v = nullptr;
    const int c = layout_.ColumnPosition(editCol_), rr = layout_.RowPosition(editRow_);
    if (c >= 0 && rr >= 0) v = &layout_.At(static_cast<size_t>(c), static_cast<size_t>(rr));
    const workbook::TSSColor fill = v ? v->style->BackgroundColor : workbook::kDefaultFillColor;
    canvas.FillRect(r, colors_.FillBackground(fill, false));
    ui::ClipScope clip(canvas, r);
    const int lh = std::max(1, measurer_->LineHeight(editor_.Font()));
    for (size_t i = 0; i < editor_.Lines().size(); ++i) {
      const std::string& text = editor_.Lines()[i];
      const ui::Point at{r.left + 1, r.top + static_cast<int>(i) * lh};
      canvas.DrawTextLine(at, text, editor_.Font(), ui::colors::kWindowText);
      // The selected part of the line, highlighted.
      const auto [from, to] = editor_.SelectedColumns(static_cast<int>(i));
      if (from >= to) continue;
      const std::string_view line(text);
      const int x0 =
          at.x + measurer_->Width(editor_.Font(), line.substr(0, static_cast<size_t>(from)));
      const std::string_view part =
          line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
      canvas.FillRect(ui::Rect{x0, at.y, x0 + measurer_->Width(editor_.Font(), part), at.y + lh},
                      ui::colors::kHighlight);
      canvas.DrawTextLine(ui::Point{x0, at.y}, part, editor_.Font(), ui::colors::kWhite);
    }
    const std::string& line = editor_.Lines()[static_cast<size_t>(editor_.CaretLine())];
    const int cx =
        r.left + 1 +
        measurer_->Width(editor_.Font(), std::string_view(line).substr(
                                             0, static_cast<size_t>(editor_.CaretColumn())));
    const int cy = r.top + editor_.CaretLine() * lh;
    canvas.FillRect(ui::Rect{cx, cy, cx + 1, cy + lh}, ui::colors::kWindowText);
  }
  if (book_.ShowCaptionBar) {
    tabs_.Paint(canvas, Font(), ResolveColor(book_.HeaderColor));
    if (renaming_) {
      const ui::Rect& r = renameEditor_.Bounds();
      canvas.FillRect(r, ui::colors::kWhite);
      canvas.FrameRect(r, ui::colors::kWindowText);
      const std::string text = renameEditor_.Text();
      const int lh = std::max(1, measurer_->LineHeight(Font()));
      const int width = measurer_->Width(Font(), text);
      const ui::Point at{r.left + 2, r.top + 2};
      ui::ClipScope clip(canvas, r);
      if (renameEditor_.AllSelected()) {
        canvas.FillRect(ui::Rect::FromSize(at.x, at.y, width, lh), ui::colors::kHighlight);
        canvas.DrawTextLine(at, text, Font(), ui::colors::kWhite);
      } else {
        canvas.DrawTextLine(at, text, Font(), ui::colors::kWindowText);
        const int cx = at.x + measurer_->Width(
                                  Font(), std::string_view(text).substr(
                                              0, static_cast<size_t>(renameEditor_.CaretColumn())));
        canvas.FillRect(ui::Rect{cx, at.y, cx + 1, at.y + lh}, ui::colors::kWindowText);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Mouse

bool BookControl::BulkLoading() const { return Sheet() && Sheet()->Storage().Bulk(); }

void BookControl::Select(const TRect& cells) {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  const TRect before = sheet->Selection();
  sheet->SetSelection(cells);
  anchor_ = mouse_.Anchor();
  extent_ = TPoint{cells.Left == anchor_.X ? cells.Right : cells.Left,
                   cells.Top == anchor_.Y ? cells.Bottom : cells.Top};
  SelectionMoved(before);
}

void BookControl::SelectionMoved(const TRect& before) {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  // The old frame and the new one are both repainted (and everything whose marking changed
  // lies between them).
  const auto frame = [&](const TRect& cells) {
    ui::Rect r = layout_.FrameRect(cells, cols_, rows_);
    return r.Inflate(3);
  };
  const ui::Rect oldFrame = frame(before);
  Relayout();
  const ui::Rect newFrame = frame(sheet->Selection());
  Damage(oldFrame);
  Damage(newFrame);
  const ui::Rect data = layout_.DataArea();
  // Header markings follow the selection.
  Damage(ui::Rect{data.left, layout_.Params().client.top, data.right, data.top});
  Damage(ui::Rect{layout_.Params().client.left, data.top, data.left, data.bottom});
}

uint16_t BookControl::ItemSize(HeaderKind kind, int32_t index) const {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return 0;
  return kind == HeaderKind::Columns ? sheet->ColumnHeader().Size(index)
                                     : sheet->RowHeader().Size(index);
}

void BookControl::Resize(HeaderKind kind, int32_t index, int32_t size) {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet || index < 0) return;
  workbook::TSSHeader& header =
      kind == HeaderKind::Columns ? sheet->ColumnHeader() : sheet->RowHeader();
  header.SetSize(index, std::clamp(size, 0, 65535));
  (kind == HeaderKind::Columns ? cols_ : rows_).Resized(index, header.Size(index));
  Relayout();
  UpdateScrollBars();
  Damage(ClientRect());
}

int32_t BookControl::Step(const HeaderPositions& pos, int32_t index, int delta,
                          int32_t limit) const {
  if (delta > 0) {
    const int32_t next = pos.IndexAt(pos.Offset(index + 1), limit);
    return next < limit ? next : index;
  }
  const int64_t offset = pos.Offset(index);
  if (offset <= 0) return index;
  return pos.IndexAt(offset - 1, index);
}

bool BookControl::ScrollStep(int dx, int dy) {
  TPoint tl = TopLeft();
  const TPoint before = tl;
  if (dx < 0 && !layout_.Columns().empty())
    tl.X = Step(cols_, layout_.Columns().front().index, -1, workbook::kFarEdge);
  if (dx > 0 && !layout_.Columns().empty())
    tl.X = Step(cols_, layout_.Columns().front().index, 1, workbook::kFarEdge);
  if (dy < 0 && !layout_.Rows().empty())
    tl.Y = Step(rows_, layout_.Rows().front().index, -1, workbook::kFarEdge);
  if (dy > 0 && !layout_.Rows().empty())
    tl.Y = Step(rows_, layout_.Rows().front().index, 1, workbook::kFarEdge);
  ScrollTo(tl);
  return !(TopLeft() == before);
}

void BookControl::ContextMenu(ui::Point p) {
  if (OnSheetPopupMenu) OnSheetPopupMenu(p);
}

void BookControl::HandleMouseDown(const ui::MouseEvent& event) {
  Settle();
  ui::CustomControl::HandleMouseDown(event);
  if (!Sheet()) return;
  if (renaming_) EndRename(true);
  if (book_.ShowCaptionBar && tabs_.Strip().Contains(event.pos)) {
    if (event.button != ui::MouseButton::Right) {
      tabsCaptured_ = true;
      SetCapture();
    }
    const TabHit hit = tabs_.HitTest(event.pos);
    if (event.button == ui::MouseButton::Right) {
      if (OnCaptionPopupMenu) OnCaptionPopupMenu(event.pos);
    } else if (hit.kind == TabHitKind::Tab) {
      if (IsEditing()) CommitEdit();
      book_.SetActiveSheet(hit.sheet);
      BookChanged();
    } else if (hit.kind != TabHitKind::None) {
      tabs_.Navigate(hit.kind, book_);
      Relayout();
      Damage(ClientRect());
    }
    return;
  }
  if (event.button != ui::MouseButton::Right) SetCapture();
  if (IsEditing() && !editor_.Bounds().Contains(event.pos)) CommitEdit();
  mouse_.Press(event);
  if (OnMouseDown) OnMouseDown(event);
}

void BookControl::HandleMouseMove(const ui::MouseEvent& event) {
  Settle();
  if (tabsCaptured_ ||
      (!HasCapture() && book_.ShowCaptionBar && tabs_.Strip().Contains(event.pos))) {
    SetCursor(ui::CursorShape::Default);
  } else {
    mouse_.Move(event);
  }
  if (OnMouseMove) OnMouseMove(event);
}

void BookControl::HandleMouseUp(const ui::MouseEvent& event) {
  Settle();
  timer_.SetEnabled(false);
  tabsCaptured_ = false;
  mouse_.Release(event);
  ReleaseCapture();
  if (OnMouseUp) OnMouseUp(event);
}

void BookControl::HandleDoubleClick(const ui::MouseEvent& event) {
  Settle();
  if (book_.ShowCaptionBar && tabs_.Strip().Contains(event.pos)) {
    if (tabs_.HitTest(event.pos).kind == TabHitKind::Tab) StartRename();
    return;
  }
  mouse_.DoubleClick(event.pos);
  if (OnDblClick) OnDblClick(event);
}

void BookControl::HandleMouseWheel(const ui::MouseEvent& event) {
  Settle();
  if (IsEditing()) CommitEdit();
  const int notches = event.wheelDelta / 120;
  if (notches == 0 || layout_.Rows().empty()) return;
  int32_t row = layout_.Rows().front().index;
  for (int i = 0; i < std::abs(notches) * wheelRows; ++i)
    row = Step(rows_, row, notches > 0 ? -1 : 1, workbook::kFarEdge);
  ScrollTo(TPoint{TopLeft().X, row});
  if (OnMouseWheel) OnMouseWheel(event);
}

void BookControl::HandleScroll(ui::ScrollBarKind kind, ui::ScrollCode code, int32_t position) {
  Settle();
  const bool horz = kind == ui::ScrollBarKind::Horizontal;
  const HeaderPositions& pos = horz ? cols_ : rows_;
  TPoint tl = TopLeft();
  int32_t& v = horz ? tl.X : tl.Y;
  const int32_t page = std::max(1, ScrollBar(kind).page);
  switch (code) {
    case ui::ScrollCode::LineUp:
      v = Step(pos, v, -1, workbook::kFarEdge);
      break;
    case ui::ScrollCode::LineDown:
      v = Step(pos, v, 1, workbook::kFarEdge);
      break;
    case ui::ScrollCode::PageUp:
      v = std::max(0, v - page);
      break;
    case ui::ScrollCode::PageDown:
      v = std::min(workbook::kFarEdge - 1, v + page);
      break;
    case ui::ScrollCode::Track:
    case ui::ScrollCode::Position:
      v = position;
      break;
    case ui::ScrollCode::Top:
      v = 0;
      break;
    case ui::ScrollCode::Bottom:
      v = ScrollBar(kind).max;
      break;
    case ui::ScrollCode::EndScroll:
      return;
  }
  ScrollTo(tl);
  if (OnScroll) OnScroll(kind, code, position);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void BookControl::MoveActive(int32_t col, int32_t row, bool extend) {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return;
  col = std::clamp(col, 0, workbook::kFarEdge - 1);
  row = std::clamp(row, 0, workbook::kFarEdge - 1);
  const TRect before = sheet->Selection();
  if (extend) {
    extent_ = TPoint{col, row};
    sheet->SetSelection(TRect{std::min(anchor_.X, col), std::min(anchor_.Y, row),
                              std::max(anchor_.X, col), std::max(anchor_.Y, row)});
  } else {
    anchor_ = extent_ = TPoint{col, row};
    sheet->SelectCell(col, row);
  }
  ScrollIntoView(extent_.X, extent_.Y);
  SelectionMoved(before);
}

bool BookControl::Navigate(int key, ui::ShiftState shift) {
  workbook::TSSBookSheet* sheet = Sheet();
  if (!sheet) return false;
  const workbook::TSSDataStorage& storage = sheet->Storage();
  const TRect sel = sheet->Selection();
  const TPoint active{sel.Left, sel.Top};
  const auto spanned = [&](TPoint a, TPoint b) {
    return storage.ExpandByMerges(
        TRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)});
  };
  // The fixed and moving corners are those of the current selection; one the model or the
  // host set since is taken from its corners.
  if (shift.shift ? !(spanned(anchor_, extent_) == sel) : !(anchor_ == active)) {
    anchor_ = active;
    extent_ = TPoint{sel.Right, sel.Bottom};
    if (!shift.shift) extent_ = active;
  }
  const int32_t limit = workbook::kFarEdge;
  // Tab and Enter move the active cell, also with Shift; from a merged area they step off its
  // far edge.
  const TRect area = storage.MergedAreaOf(active.X, active.Y);
  switch (key) {
    case ui::keys::kEnter:
      MoveActive(active.X,
                 shift.shift ? Step(rows_, active.Y, -1, limit)
                             : Step(rows_, std::max(active.Y, area.Bottom), 1, limit),
                 false);
      return true;
    case ui::keys::kTab:
      MoveActive(shift.shift ? Step(cols_, active.X, -1, limit)
                             : Step(cols_, std::max(active.X, area.Right), 1, limit),
                 active.Y, false);
      return true;
    default:
      break;
  }
  // The other keys move the selection's moving corner when extending, else the active cell.
  TPoint at = shift.shift ? extent_ : active;
  const int32_t right = shift.shift ? at.X : std::max(at.X, area.Right);
  const int32_t bottom = shift.shift ? at.Y : std::max(at.Y, area.Bottom);
  // A page is the number of rows wholly in view.
  int32_t pageRows = 0;
  for (const Span& r : layout_.Rows()) pageRows += r.end <= layout_.DataArea().bottom;
  pageRows = std::max(1, pageRows);
  const auto arrow = [&](TPoint p, int32_t farX, int32_t farY) -> std::optional<TPoint> {
    switch (key) {
      case ui::keys::kLeft:
        return TPoint{Step(cols_, p.X, -1, limit), p.Y};
      case ui::keys::kRight:
        return TPoint{Step(cols_, farX, 1, limit), p.Y};
      case ui::keys::kUp:
        return TPoint{p.X, Step(rows_, p.Y, -1, limit)};
      case ui::keys::kDown:
        return TPoint{p.X, Step(rows_, farY, 1, limit)};
      default:
        return std::nullopt;
    }
  };
  if (std::optional<TPoint> next = arrow(at, right, bottom)) {
    at = *next;
    // Extending into a merged area that the selection already covers changes nothing; the
    // corner keeps moving until the selection grows or the sheet ends.
    for (int guard = 0; shift.shift && guard < 1024 && spanned(anchor_, at) == sel; ++guard) {
      next = arrow(at, at.X, at.Y);
      if (*next == at) break;
      at = *next;
    }
    MoveActive(at.X, at.Y, shift.shift);
    return true;
  }
  switch (key) {
    case ui::keys::kHome:
      at.X = cols_.IndexAt(0, limit);
      if (shift.ctrl) at.Y = rows_.IndexAt(0, limit);
      break;
    case ui::keys::kEnd:
      at.X = std::max(0, storage.UsedCols() - 1);
      if (shift.ctrl) at.Y = std::max(0, storage.UsedRows() - 1);
      break;
    case ui::keys::kPageDown:
      for (int32_t i = 0; i < pageRows; ++i) at.Y = Step(rows_, at.Y, 1, limit);
      break;
    case ui::keys::kPageUp:
      for (int32_t i = 0; i < pageRows; ++i) at.Y = Step(rows_, at.Y, -1, limit);
      break;
    default:
      return false;
  }
  MoveActive(at.X, at.Y, shift.shift);
  return true;
}

void BookControl::HandleKeyDown(int& key, ui::ShiftState shift) {
  Settle();
  if (OnKeyDown) OnKeyDown(key, shift);
  if (key == 0 || !Sheet()) return;
  if (renaming_) {
    if (key == ui::keys::kEnter)
      EndRename(true);
    else if (key == ui::keys::kEscape)
      EndRename(false);
    else
      renameEditor_.Key(key, shift);
    Damage(ClientRect());
    key = 0;
    return;
  }
  if (IsEditing()) {
    const EditorKey routed = editor_.Key(key, shift);
    if (routed == EditorKey::HandBack) {
      if (key == ui::keys::kEscape)
        CancelEdit();
      else
        CommitEdit();
      if (key != ui::keys::kEscape) Navigate(key, shift);
    }
    Damage(ClientRect());
    key = 0;
    return;
  }
  if (key == ui::keys::kF1 + 1 && !shift.shift && !shift.ctrl) {
    OpenEditor();
    key = 0;
    return;
  }
  if (Navigate(key, shift)) {
    key = 0;
    return;
  }
  try {
    if (book_.KeyDown(static_cast<uint16_t>(key), shift.shift, shift.ctrl)) {
      key = 0;
      BookChanged();
    }
  } catch (const std::exception& e) {
    Report(e);
    key = 0;
  }
}

void BookControl::HandleKeyPress(char& c) {
  Settle();
  if (OnKeyPress) OnKeyPress(c);
  if (c == 0 || !Sheet()) return;
  if (renaming_) {
    renameEditor_.Type(c);
    Damage(ClientRect());
    c = 0;
    return;
  }
  if (static_cast<unsigned char>(c) < 0x20) return;
  if (!IsEditing()) {
    // Type-to-edit: the typed character replaces the cell's text.
    OpenEditor();
    if (!IsEditing()) return;
    editor_.SetText(std::string());
  }
  editor_.Type(c);
  Damage(ClientRect());
  c = 0;
}

// ---------------------------------------------------------------------------------------------
// Renaming a sheet in place

void BookControl::StartRename() {
  const ui::Rect r = tabs_.TabRect(book_.ActivePage());
  if (r.IsEmpty() || !Sheet()) return;
  renaming_ = true;
  renameEditor_.Start(Sheet()->Caption(), Font(), ui::Point{r.left, r.top},
                      ui::Size{r.Width(), r.Height()}, ClientRect());
  renameEditor_.SelectAll();
  Damage(ClientRect());
}

void BookControl::EndRename(bool write) {
  if (!renaming_) return;
  renaming_ = false;
  renameEditor_.Close();
  if (write && renameEditor_.Changed() && Sheet()) {
    try {
      Sheet()->SetCaption(renameEditor_.Text());
    } catch (const std::exception& e) {
      Report(e);
    }
  }
  Relayout();
  Damage(ClientRect());
}

}  // namespace view
