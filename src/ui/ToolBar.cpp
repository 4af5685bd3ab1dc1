#include "ui/ToolBar.h"

#include <algorithm>

#include "ui/CommandList.h"

namespace ui {

namespace {
constexpr int kSeparatorWidth = 8;
constexpr int kBorder = 2;  // above and below the row
}  // namespace

ToolButton::ToolButton(ToolBar& bar, std::string name, ToolButtonStyle style)
    : bar_(bar), name_(std::move(name)), style_(style) {}

ToolButton::~ToolButton() { SetCommand(nullptr); }

void ToolButton::SetImageIndex(int index) {
  if (imageIndex_ == index) return;
  imageIndex_ = index;
  bar_.ButtonChanged(*this);
}

void ToolButton::SetDown(bool down) {
  if (down_ == down) return;
  down_ = down;
  if (down_ && group_ > 0 && style_ == ToolButtonStyle::Check) bar_.GroupDown(*this);
  bar_.ButtonChanged(*this);
}

void ToolButton::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  bar_.ButtonChanged(*this);
}

void ToolButton::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  bar_.Realign();
  bar_.Invalidate();
}

void ToolButton::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  bar_.ButtonChanged(*this);
}

void ToolButton::SetCommand(Command* command) {
  if (command_ != nullptr) command_->Unlink(linkKey_);
  command_ = command;
  linkKey_ = 0;
  if (command_ != nullptr) {
    linkKey_ = command_->Link([this](const Command& c) {
      SetEnabled(c.Enabled());
      if (!c.Hint().empty()) hint_ = c.Hint();
      if (style_ == ToolButtonStyle::Check) SetDown(c.Checked());
    });
  }
}

void ToolButton::Click() {
  if (!enabled_ || !visible_ || style_ == ToolButtonStyle::Separator) return;
  if (style_ == ToolButtonStyle::Check) {
    // A down button of a group stays down: one of the set is always chosen.
    if (group_ > 0) {
      SetDown(true);
    } else {
      SetDown(!down_);
    }
  }
  if (command_ != nullptr) {
    command_->Execute();
  } else if (OnClick) {
    OnClick();
  }
}

ToolBar::ToolBar(Control* parent, std::string name)
    : Control(parent, ControlKind::ToolBar, std::move(name)) {
  SetTabStop(false);
  SetBounds(Rect{0, 0, 100, NeededHeight()});
}

ToolBar::~ToolBar() {
  // Child controls placed in the row die with the Control base; forget them first.
  items_.clear();
  pressed_ = nullptr;
  buttons_.clear();
}

ToolButton& ToolBar::AddButton(const std::string& name, ToolButtonStyle style) {
  buttons_.push_back(std::make_unique<ToolButton>(*this, name, style));
  items_.push_back(Item{buttons_.back().get(), nullptr});
  Realign();
  Invalidate();
  return *buttons_.back();
}

ToolButton& ToolBar::AddSeparator(const std::string& name) {
  return AddButton(name, ToolButtonStyle::Separator);
}

void ToolBar::AddControl(Control& child) {
  if (child.Parent() != this) return;
  items_.push_back(Item{nullptr, &child});
  Realign();
}

ToolButton* ToolBar::FindButton(const std::string& name) {
  for (const auto& button : buttons_) {
    if (button->Name() == name) return button.get();
  }
  return nullptr;
}

void ToolBar::SetButtonSize(Size size) {
  buttonSize_ = Size{std::max(1, size.width), std::max(1, size.height)};
  SetBounds(Rect{Bounds().left, Bounds().top, Bounds().right, Bounds().top + NeededHeight()});
  Realign();
  Invalidate();
}

void ToolBar::SetImages(std::vector<Image> images) {
  images_ = std::move(images);
  Invalidate();
}

void ToolBar::SetShowCaptions(bool on) {
  showCaptions_ = on;
  Invalidate();
}

int ToolBar::NeededHeight() const { return buttonSize_.height + 2 * kBorder; }

void ToolBar::Realign() {
  int x = kBorder;
  for (Item& item : items_) {
    if (item.button != nullptr) {
      ToolButton& button = *item.button;
      if (!button.visible_) {
        button.bounds_ = Rect{};
        continue;
      }
      int width = button.style_ == ToolButtonStyle::Separator ? kSeparatorWidth : buttonSize_.width;
      button.bounds_ = Rect{x, kBorder, x + width, kBorder + buttonSize_.height};
      x += width;
    } else if (item.control != nullptr && item.control->Visible()) {
      int width = item.control->Width();
      int height = std::min(item.control->Height(), buttonSize_.height);
      int top = kBorder + (buttonSize_.height - height) / 2;
      item.control->SetBounds(Rect{x, top, x + width, top + height});
      x += width;
    }
  }
}

ToolButton* ToolBar::ButtonAt(Point p) {
  for (const auto& button : buttons_) {
    if (button->visible_ && button->style_ != ToolButtonStyle::Separator &&
        button->bounds_.Contains(p)) {
      return button.get();
    }
  }
  return nullptr;
}

void ToolBar::HandleMouseDown(const MouseEvent& event) {
  Control::HandleMouseDown(event);
  if (event.button != MouseButton::Left) return;
  ToolButton* button = ButtonAt(event.pos);
  if (button == nullptr || !button->enabled_) return;
  pressed_ = button;
  pressedInside_ = true;
  SetCapture();
  Invalidate(button->bounds_);
}

void ToolBar::HandleMouseMove(const MouseEvent& event) {
  Control::HandleMouseMove(event);
  if (pressed_ == nullptr) return;
  bool inside = pressed_->bounds_.Contains(event.pos);
  if (inside != pressedInside_) {
    pressedInside_ = inside;
    Invalidate(pressed_->bounds_);
  }
}

void ToolBar::HandleMouseUp(const MouseEvent& event) {
  Control::HandleMouseUp(event);
  if (pressed_ == nullptr || event.button != MouseButton::Left) return;
  ToolButton* button = pressed_;
  bool inside = button->bounds_.Contains(event.pos);
  pressed_ = nullptr;
  ReleaseCapture();
  Invalidate(button->bounds_);
  if (inside) button->Click();
}

void ToolBar::ButtonChanged(ToolButton& button) { Invalidate(button.bounds_); }

void ToolBar::GroupDown(ToolButton& chosen) {
  for (const auto& other : buttons_) {
    if (other.get() != &chosen && other->group_ == chosen.group_ &&
        other->style_ == ToolButtonStyle::Check && other->down_) {
      other->down_ = false;
      ButtonChanged(*other);
    }
  }
}

ControlBar::ControlBar(Control* parent, std::string name)
    : Control(parent, ControlKind::ControlBar, std::move(name)) {
  SetTabStop(false);
}

void ControlBar::SetAutoSize(bool on) {
  autoSize_ = on;
  Realign();
}

void ControlBar::Realign() {
  if (arranging_) return;
  arranging_ = true;
  int y = 0;
  for (const auto& child : Children()) {
    if (!child->Visible()) continue;
    int height = child->Height();
    if (child->Kind() == ControlKind::ToolBar)
      height = static_cast<ToolBar&>(*child).NeededHeight();
    int width = std::max(child->Width(), 0);
    child->SetBounds(Rect{0, y, width, y + height});
    y += height;
  }
  arranging_ = false;
  if (autoSize_ && Height() != y)
    SetBounds(Rect{Bounds().left, Bounds().top, Bounds().right, Bounds().top + y});
}

}  // namespace ui
