#include "view/InplaceEditor.h"

#include <algorithm>

namespace view {

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\r') continue;  // CR LF and LF both end a line
    if (c == '\n') {
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace

void InplaceEditor::Start(const std::string& text, const ui::Font& font, ui::Point origin,
                          ui::Size minSize, const ui::Rect& limit) {
  start_ = text;
  font_ = font;
  origin_ = origin;
  minSize_ = minSize;
  limit_ = limit;
  open_ = true;
  SetText(text);
}

void InplaceEditor::SetText(const std::string& text) {
  lines_ = SplitLines(text);
  caretLine_ = anchorLine_ = static_cast<int>(lines_.size()) - 1;
  caretColumn_ = anchorColumn_ = static_cast<int>(lines_.back().size());
  Resize();
}

void InplaceEditor::SelectAll() {
  anchorLine_ = anchorColumn_ = 0;
  caretLine_ = static_cast<int>(lines_.size()) - 1;
  caretColumn_ = static_cast<int>(lines_.back().size());
}

bool InplaceEditor::AllSelected() const {
  const Position end{static_cast<int>(lines_.size()) - 1, static_cast<int>(lines_.back().size())};
  const Position from = std::min(Caret(), Anchor()), to = std::max(Caret(), Anchor());
  return HasSelection() && from == Position{0, 0} && to == end;
}

std::pair<int, int> InplaceEditor::SelectedColumns(int line) const {
  const Position from = std::min(Caret(), Anchor()), to = std::max(Caret(), Anchor());
  if (line < from.line || line > to.line) return {0, 0};
  return {line == from.line ? from.column : 0, line == to.line ? to.column : LineLength(line)};
}

std::string InplaceEditor::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += '\n';
    out += lines_[i];
  }
  return out;
}

void InplaceEditor::Resize() {
  const int halfW = measurer_->Width(font_, "W") / 2;
  int width = 0;
  for (const std::string& line : lines_) {
    const int w = measurer_->Width(font_, line);
    if (w > width) width = w + halfW;
  }
  if (width == 0) width = halfW;
  int height = static_cast<int>(lines_.size()) * std::max(1, measurer_->LineHeight(font_));
  width = std::max(width, minSize_.width) + 2;
  height = std::max(height, minSize_.height);
  // Never beyond the client area: the right and bottom edges stop at the limit, and an origin
  // outside it moves in.
  ui::Rect r = ui::Rect::FromSize(origin_.x, origin_.y, width, height);
  if (!limit_.IsEmpty()) {
    r.left = std::clamp(r.left, limit_.left, std::max(limit_.left, limit_.right - 1));
    r.top = std::clamp(r.top, limit_.top, std::max(limit_.top, limit_.bottom - 1));
    r.right = std::min(r.left + width, limit_.right);
    r.bottom = std::min(r.top + height, limit_.bottom);
  }
  bounds_ = r;
}

void InplaceEditor::MoveCaret(Position to, bool extend) {
  caretLine_ = to.line;
  caretColumn_ = to.column;
  if (!extend) {
    anchorLine_ = to.line;
    anchorColumn_ = to.column;
  }
}

void InplaceEditor::DeleteSelection() {
  if (!HasSelection()) return;
  const Position from = std::min(Caret(), Anchor()), to = std::max(Caret(), Anchor());
  std::string& first = lines_[static_cast<size_t>(from.line)];
  const std::string tail =
      lines_[static_cast<size_t>(to.line)].substr(static_cast<size_t>(to.column));
  first.erase(static_cast<size_t>(from.column));
  first += tail;
  lines_.erase(lines_.begin() + from.line + 1, lines_.begin() + to.line + 1);
  MoveCaret(from, false);
}

void InplaceEditor::InsertLineBreak() {
  // At a line's end this adds an empty line after it, at its start an empty line before it,
  // and inside it splits the line; the caret goes to the start of the line after the break.
  DeleteSelection();
  std::string& line = lines_[static_cast<size_t>(caretLine_)];
  std::string tail = line.substr(static_cast<size_t>(caretColumn_));
  line.erase(static_cast<size_t>(caretColumn_));
  lines_.insert(lines_.begin() + caretLine_ + 1, std::move(tail));
  MoveCaret(Position{caretLine_ + 1, 0}, false);
}

EditorKey InplaceEditor::CaretKey(int key, ui::ShiftState shift) {
  const int lastLine = static_cast<int>(lines_.size()) - 1;
  const int length = LineLength(caretLine_);
  const bool selected = HasSelection();
  const Position from = std::min(Caret(), Anchor()), to = std::max(Caret(), Anchor());
  const auto onLine = [this](int line) {
    return Position{line, std::min(caretColumn_, LineLength(line))};
  };
  switch (key) {
    case ui::keys::kLeft:
      if (navigation_ && caretColumn_ == 0 && !selected) return EditorKey::HandBack;
      if (selected && !shift.shift)
        MoveCaret(from, false);
      else if (caretColumn_ > 0)
        MoveCaret(Position{caretLine_, caretColumn_ - 1}, shift.shift);
      else if (caretLine_ > 0)
        MoveCaret(Position{caretLine_ - 1, LineLength(caretLine_ - 1)}, shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kRight:
      if (navigation_ && caretColumn_ >= length && !selected) return EditorKey::HandBack;
      if (selected && !shift.shift)
        MoveCaret(to, false);
      else if (caretColumn_ < length)
        MoveCaret(Position{caretLine_, caretColumn_ + 1}, shift.shift);
      else if (caretLine_ < lastLine)
        MoveCaret(Position{caretLine_ + 1, 0}, shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kUp:
      if (navigation_ && caretLine_ == 0) return EditorKey::HandBack;
      MoveCaret(caretLine_ > 0 ? onLine(caretLine_ - 1) : Caret(), shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kDown:
      if (navigation_ && caretLine_ == lastLine) return EditorKey::HandBack;
      MoveCaret(caretLine_ < lastLine ? onLine(caretLine_ + 1) : Caret(), shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kHome:
      if (navigation_) return EditorKey::HandBack;
      MoveCaret(Position{shift.ctrl ? 0 : caretLine_, 0}, shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kEnd:
      MoveCaret(
          shift.ctrl ? Position{lastLine, LineLength(lastLine)} : Position{caretLine_, length},
          shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kPageUp:
      // The memo's page: the caret goes to the first line (the editor is never taller than
      // the view); the grid does not see the key.
      MoveCaret(onLine(0), shift.shift);
      return EditorKey::Consumed;
    case ui::keys::kPageDown:
      if (navigation_) return EditorKey::HandBack;
      MoveCaret(onLine(lastLine), shift.shift);
      return EditorKey::Consumed;
    default:
      return EditorKey::Ignored;
  }
}

EditorKey InplaceEditor::Key(int key, ui::ShiftState shift) {
  switch (key) {
    case ui::keys::kTab:
      return shift.ctrl ? EditorKey::Ignored : EditorKey::HandBack;
    case ui::keys::kEnter:
      if (navigation_ && shift.alt) {
        InsertLineBreak();
        Resize();
        return EditorKey::Consumed;
      }
      return EditorKey::HandBack;
    case ui::keys::kEscape:
      SetText(start_);
      return EditorKey::HandBack;
    case ui::keys::kBackspace:
      if (HasSelection()) {
        DeleteSelection();
      } else if (caretColumn_ > 0) {
        lines_[static_cast<size_t>(caretLine_)].erase(static_cast<size_t>(caretColumn_ - 1), 1);
        MoveCaret(Position{caretLine_, caretColumn_ - 1}, false);
      } else if (caretLine_ > 0) {
        const Position joined{caretLine_ - 1, LineLength(caretLine_ - 1)};
        lines_[static_cast<size_t>(caretLine_ - 1)] += lines_[static_cast<size_t>(caretLine_)];
        lines_.erase(lines_.begin() + caretLine_);
        MoveCaret(joined, false);
      }
      Resize();
      return EditorKey::Consumed;
    case ui::keys::kDelete:
      if (HasSelection()) {
        DeleteSelection();
      } else if (caretColumn_ < LineLength(caretLine_)) {
        lines_[static_cast<size_t>(caretLine_)].erase(static_cast<size_t>(caretColumn_), 1);
      } else if (caretLine_ + 1 < static_cast<int>(lines_.size())) {
        lines_[static_cast<size_t>(caretLine_)] += lines_[static_cast<size_t>(caretLine_ + 1)];
        lines_.erase(lines_.begin() + caretLine_ + 1);
      }
      Resize();
      return EditorKey::Consumed;
    default: {
      const EditorKey routed = CaretKey(key, shift);
      return routed == EditorKey::Ignored ? EditorKey::Consumed : routed;
    }
  }
}

void InplaceEditor::Type(char c) {
  if (c == '\t' || c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20) return;
  DeleteSelection();
  lines_[static_cast<size_t>(caretLine_)].insert(static_cast<size_t>(caretColumn_), 1, c);
  MoveCaret(Position{caretLine_, caretColumn_ + 1}, false);
  Resize();
}

void InplaceEditor::CaretAt(ui::Point p) {
  const int lineHeight = measurer_->LineHeight(font_);
  const int y = p.y - bounds_.top;
  int line = lineHeight > 0 && y > 0 ? y / lineHeight : 0;
  line = std::min(line, static_cast<int>(lines_.size()) - 1);
  const std::string& text = lines_[static_cast<size_t>(line)];
  const int x = p.x - bounds_.left;
  int column = static_cast<int>(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (measurer_->Width(font_, std::string_view(text).substr(0, i + 1)) > x) {
      column = static_cast<int>(i);
      break;
    }
  }
  MoveCaret(Position{line, column}, false);
}

}  // namespace view
