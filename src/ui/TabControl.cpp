#include "ui/TabControl.h"

#include <algorithm>

#include "ui/BasicControls.h"
#include "ui/Form.h"

namespace ui {

TabControl::TabControl(Control* parent, std::string name)
    : Control(parent, ControlKind::TabControl, std::move(name)) {}

Panel& TabControl::AddPage(std::string pageName, std::string caption) {
  Panel& page = Add<Panel>(std::move(pageName));
  page.SetBevelOuter(Bevel::None);
  page.SetCaption("");
  page.SetBounds(PageRect());
  tabs_.push_back(Tab{std::move(caption), &page});
  Changed(Property::Items);
  if (tabIndex_ < 0) tabIndex_ = 0;
  ShowCurrentPage();
  Changed(Property::State);
  return page;
}

const std::string& TabControl::TabCaption(int index) const {
  static const std::string kNone;
  return index >= 0 && index < Count() ? tabs_[static_cast<size_t>(index)].caption : kNone;
}

Panel* TabControl::Page(int index) const {
  return index >= 0 && index < Count() ? tabs_[static_cast<size_t>(index)].page : nullptr;
}

int TabControl::IndexOfPage(std::string_view pageName) const {
  for (int i = 0; i < Count(); ++i) {
    if (tabs_[static_cast<size_t>(i)].page->Name() == pageName) return i;
  }
  return -1;
}

std::vector<std::string> TabControl::Captions() const {
  std::vector<std::string> captions;
  for (const Tab& tab : tabs_) captions.push_back(tab.caption);
  return captions;
}

void TabControl::SetTabIndex(int index) {
  if (index < 0 || index >= Count() || index == tabIndex_) return;
  tabIndex_ = index;
  ShowCurrentPage();
  Changed(Property::State);
}

void TabControl::NoteTabChosen(int index) { Choose(index); }

void TabControl::ChooseTab(int index) {
  if (index < 0 || index >= Count() || index == tabIndex_) return;
  Choose(index);
  Changed(Property::State);
}

void TabControl::CycleTab(bool forward) {
  if (Count() == 0) return;
  ChooseTab(forward ? (tabIndex_ + 1) % Count() : (tabIndex_ + Count() - 1) % Count());
}

void TabControl::Choose(int index) {
  if (index < 0 || index >= Count() || index == tabIndex_) return;
  Form* form = OwnerForm();
  const bool hadFocus = form != nullptr && form->ActiveControl() != nullptr;
  tabIndex_ = index;
  ShowCurrentPage();
  Invalidate();
  // Hiding the old page took the focus away from a control on it.
  if (hadFocus && form->ActiveControl() == nullptr && CanFocus()) SetFocus();
  if (OnChange) OnChange();
}

void TabControl::ShowCurrentPage() {
  // The new page shows before the old one hides, so the frame is never seen empty.
  if (Panel* current = Page(tabIndex_)) current->SetVisible(true);
  for (int i = 0; i < Count(); ++i) {
    if (i != tabIndex_) tabs_[static_cast<size_t>(i)].page->SetVisible(false);
  }
}

void TabControl::SetTabWidth(int width) {
  width = std::max(8, width);
  if (width == tabWidth_) return;
  tabWidth_ = width;
  Changed(Property::Items);
  Invalidate();
}

Rect TabControl::TabRect(int index) const {
  if (index < 0 || index >= Count()) return Rect{};
  const Rect tab = Rect::FromSize(2 + index * tabWidth_, 2, tabWidth_, kTabHeight - 2);
  if (index != tabIndex_) return tab;
  return Rect{tab.left - 2, 0, tab.right + 2, kTabHeight + 1};
}

int TabControl::TabAt(Point p) const {
  if (TabRect(tabIndex_).Contains(p)) return tabIndex_;
  for (int i = 0; i < Count(); ++i) {
    if (TabRect(i).Contains(p)) return i;
  }
  return -1;
}

Rect TabControl::PageRect() const {
  const Rect client = ClientRect();
  return Rect{client.left + kPageInset, client.top + kTabHeight + kPageInset,
              std::max(client.left + kPageInset, client.right - kPageInset),
              std::max(client.top + kTabHeight + kPageInset, client.bottom - kPageInset)};
}

void TabControl::Realign() {
  for (const Tab& tab : tabs_) tab.page->SetBounds(PageRect());
  Control::Realign();
}

void TabControl::HandleEnter() {
  Invalidate();
  Control::HandleEnter();
}

void TabControl::HandleExit() {
  Invalidate();
  Control::HandleExit();
}

TabControl* TabControlFor(Control& form, Control* target) {
  for (Control* node = target; node != nullptr; node = node->Parent()) {
    if (node->Kind() == ControlKind::TabControl) return static_cast<TabControl*>(node);
  }
  std::vector<Control*> pending{&form};
  while (!pending.empty()) {
    Control* node = pending.back();
    pending.pop_back();
    if (node->Kind() == ControlKind::TabControl && node->Showing())
      return static_cast<TabControl*>(node);
    const auto& children = node->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
  }
  return nullptr;
}

}  // namespace ui
