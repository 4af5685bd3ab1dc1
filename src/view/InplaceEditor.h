#pragma once
// The in-place cell editor as a model: its text as lines, the caret, its rectangle growing with
// the text, and the routing of keys between the editor and the grid. BookControl paints it and
// feeds it keys; no window of its own exists, so the same code runs on every backend.
//
// Sizing: the widest line so far plus half the width of "W" (half of "W" for an empty text),
// lines times the line height, raised to the minimum size, then capped so that the editor never
// leaves the limit rectangle (the grid's client area).
//
// Selection: Shift with the caret keys selects text from a fixed end (the anchor) to the caret;
// typing, Backspace and Delete replace or remove it. A cell's editor navigates: at its edges the
// caret keys hand back to the grid, but only while nothing is selected (Left and Right), and
// Home and Page Down always do. An editor without navigation (a sheet tab's) keeps every key.
#include <compare>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/Canvas.h"
#include "ui/Keys.h"
#include "view/TextMeasurer.h"

namespace view {

enum class EditorKey {
  Consumed,  // the editor used the key
  HandBack,  // the grid handles the key (navigation, Enter, Tab, Escape)
  Ignored,   // neither used it (Ctrl+Tab)
};

class InplaceEditor {
 public:
  explicit InplaceEditor(const TextMeasurer& measurer, bool navigation = true)
      : measurer_(&measurer), navigation_(navigation) {}

  // Opens with the cell's edit text (line feeds separate lines), the caret at its end.
  // `origin` is the editor's top-left corner, `minSize` its minimum size, `limit` the area it
  // must stay inside.
  void Start(const std::string& text, const ui::Font& font, ui::Point origin, ui::Size minSize,
             const ui::Rect& limit);
  void Close() { open_ = false; }
  bool IsOpen() const { return open_; }

  // The text read back: lines joined with single line feeds.
  std::string Text() const;
  const std::string& StartText() const { return start_; }
  bool Changed() const { return Text() != start_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  int CaretLine() const { return caretLine_; }
  int CaretColumn() const { return caretColumn_; }
  const ui::Rect& Bounds() const { return bounds_; }
  const ui::Font& Font() const { return font_; }

  // Key routing. Escape restores the starting text and hands back.
  EditorKey Key(int key, ui::ShiftState shift);
  // A typed character: tabs, line feeds and carriage returns are swallowed.
  void Type(char c);
  // Places the caret at a point of the editor (control coordinates).
  void CaretAt(ui::Point p);
  // Replaces the text (type-to-edit starts with the typed character).
  void SetText(const std::string& text);
  // Selects the whole text, as a sheet tab's editor opens: a typed character or a deletion
  // replaces it, a caret key ends the selection at its start or end.
  void SelectAll();
  bool AllSelected() const;
  bool HasSelection() const { return anchorLine_ != caretLine_ || anchorColumn_ != caretColumn_; }
  // The selected columns [from, to) of line `line` (from == to when none of it is selected).
  std::pair<int, int> SelectedColumns(int line) const;

 private:
  struct Position {
    int line;
    int column;
    auto operator<=>(const Position&) const = default;
  };
  Position Caret() const { return Position{caretLine_, caretColumn_}; }
  Position Anchor() const { return Position{anchorLine_, anchorColumn_}; }
  // Moves the caret; without `extend` the anchor follows it (nothing selected).
  void MoveCaret(Position to, bool extend);
  // Removes the selected text; the caret stands where it began.
  void DeleteSelection();
  int LineLength(int line) const {
    return static_cast<int>(lines_[static_cast<size_t>(line)].size());
  }
  EditorKey CaretKey(int key, ui::ShiftState shift);
  void InsertLineBreak();
  void Resize();

  const TextMeasurer* measurer_;
  bool navigation_ = true;
  bool open_ = false;
  std::string start_;
  std::vector<std::string> lines_{std::string()};
  int caretLine_ = 0;
  int caretColumn_ = 0;
  int anchorLine_ = 0;
  int anchorColumn_ = 0;
  ui::Font font_;
  ui::Point origin_;
  ui::Size minSize_;
  ui::Rect limit_;
  ui::Rect bounds_;
};

}  // namespace view
