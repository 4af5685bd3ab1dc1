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
  allSelected_ = false;
  lines_ = SplitLines(text);
  caretLine_ = static_cast<int>(lines_.size()) - 1;
  caretColumn_ = static_cast<int>(lines_.back().size());
  Resize();
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

void InplaceEditor::InsertLineBreak() {
  std::string& line = lines_[static_cast<size_t>(caretLine_)];
  std::string tail = line.substr(static_cast<size_t>(caretColumn_));
  line.erase(static_cast<size_t>(caretColumn_));
  lines_.insert(lines_.begin() + caretLine_ + 1, std::move(tail));
  ++caretLine_;
  caretColumn_ = 0;
}

EditorKey InplaceEditor::Key(int key, ui::ShiftState shift) {
  if (allSelected_) {
    switch (key) {
      case ui::keys::kBackspace:
      case ui::keys::kDelete:
        SetText(std::string());
        return EditorKey::Consumed;
      case ui::keys::kLeft:
      case ui::keys::kUp:
      case ui::keys::kHome:
        allSelected_ = false;
        caretLine_ = 0;
        caretColumn_ = 0;
        return EditorKey::Consumed;
      case ui::keys::kRight:
      case ui::keys::kDown:
      case ui::keys::kEnd:
        allSelected_ = false;
        return EditorKey::Consumed;  // the caret already stands at the end
      default:
        allSelected_ = false;
        break;
    }
  }
  const int lineCount = static_cast<int>(lines_.size());
  const int lineLength = static_cast<int>(lines_[static_cast<size_t>(caretLine_)].size());
  switch (key) {
    case ui::keys::kTab:
      return shift.ctrl ? EditorKey::Ignored : EditorKey::HandBack;
    case ui::keys::kEnter:
      if (shift.alt) {
        InsertLineBreak();
        Resize();
        return EditorKey::Consumed;
      }
      return EditorKey::HandBack;
    case ui::keys::kEscape:
      SetText(start_);
      return EditorKey::HandBack;
    case ui::keys::kPageDown:
    case ui::keys::kPageUp:
    case ui::keys::kHome:
      return EditorKey::HandBack;
    case ui::keys::kEnd:
      caretColumn_ = lineLength;
      return EditorKey::Consumed;
    case ui::keys::kLeft:
      if (caretColumn_ == 0) return EditorKey::HandBack;
      --caretColumn_;
      return EditorKey::Consumed;
    case ui::keys::kRight:
      if (caretColumn_ >= lineLength) return EditorKey::HandBack;
      ++caretColumn_;
      return EditorKey::Consumed;
    case ui::keys::kUp:
      if (caretLine_ == 0) return EditorKey::HandBack;
      --caretLine_;
      caretColumn_ =
          std::min(caretColumn_, static_cast<int>(lines_[static_cast<size_t>(caretLine_)].size()));
      return EditorKey::Consumed;
    case ui::keys::kDown:
      if (caretLine_ + 1 >= lineCount) return EditorKey::HandBack;
      ++caretLine_;
      caretColumn_ =
          std::min(caretColumn_, static_cast<int>(lines_[static_cast<size_t>(caretLine_)].size()));
      return EditorKey::Consumed;
    case ui::keys::kBackspace:
      if (caretColumn_ > 0) {
        lines_[static_cast<size_t>(caretLine_)].erase(static_cast<size_t>(caretColumn_ - 1), 1);
        --caretColumn_;
      } else if (caretLine_ > 0) {
        caretColumn_ = static_cast<int>(lines_[static_cast<size_t>(caretLine_ - 1)].size());
        lines_[static_cast<size_t>(caretLine_ - 1)] += lines_[static_cast<size_t>(caretLine_)];
        lines_.erase(lines_.begin() + caretLine_);
        --caretLine_;
      }
      Resize();
      return EditorKey::Consumed;
    case ui::keys::kDelete:
      if (caretColumn_ < lineLength) {
        lines_[static_cast<size_t>(caretLine_)].erase(static_cast<size_t>(caretColumn_), 1);
      } else if (caretLine_ + 1 < lineCount) {
        lines_[static_cast<size_t>(caretLine_)] += lines_[static_cast<size_t>(caretLine_ + 1)];
        lines_.erase(lines_.begin() + caretLine_ + 1);
      }
      Resize();
      return EditorKey::Consumed;
    default:
      return EditorKey::Consumed;
  }
}

void InplaceEditor::Type(char c) {
  if (c == '\t' || c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20) return;
  if (allSelected_) SetText(std::string());
  lines_[static_cast<size_t>(caretLine_)].insert(static_cast<size_t>(caretColumn_), 1, c);
  ++caretColumn_;
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
  caretLine_ = line;
  caretColumn_ = column;
}

}  // namespace view
