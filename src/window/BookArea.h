#pragma once
// The workbook control `sp1` as the window sees it: the view layer's BookControl over a book
// the window owns. The window uses only its editing seam (IsEditing, CommitEdit) and
// BookChanged; the view opens its editor itself when the model asks.
#include "view/BookControl.h"

namespace window {
using BookControl = view::BookControl;
}  // namespace window
