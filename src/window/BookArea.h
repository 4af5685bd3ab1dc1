#pragma once
// The workbook control `sp1` as the window sees it: the view layer's BookControl, whose
// seam is fixed (constructor over a caller-owned book; IsEditing, OpenEditor, CommitEdit,
// CancelEdit, BookChanged). The window uses nothing else of it.
//
// Until the view layer is part of the build, `EditorHost` stands in: a plain control over
// the book that paints only its background and keeps the editing state the model's
// editing veto starts; it draws no grid and has no in-place editor of its own.
#if __has_include("view/BookControl.h")
#include "view/BookControl.h"
namespace window {
using BookControl = view::BookControl;
inline constexpr bool kHasGridView = true;
}  // namespace window
#else
#include <string>

#include "ui/CustomControl.h"
#include "workbook/TCustomSpreadSheetBook.h"

namespace window {

class EditorHost : public ui::CustomControl {
 public:
  EditorHost(ui::Control* parent, workbook::TSpreadSheetBook& book)
      : ui::CustomControl(parent, "sp1"), book_(book) {}
  workbook::TSpreadSheetBook& Book() { return book_; }
  bool IsEditing() const { return editing_; }
  // The model granted editing (its OnEditing veto let it through).
  void OpenEditor() { editing_ = true; }
  // Ends the editing state and raises the book's OnEndEdit, as a closing editor does.
  bool CommitEdit() {
    if (!editing_) return false;
    editing_ = false;
    if (book_.events.OnEndEdit) book_.events.OnEndEdit(book_);
    return true;
  }
  void CancelEdit() { CommitEdit(); }
  void BookChanged() { Invalidate(); }

 private:
  workbook::TSpreadSheetBook& book_;
  bool editing_ = false;
};

using BookControl = EditorHost;
inline constexpr bool kHasGridView = false;

}  // namespace window
#endif
