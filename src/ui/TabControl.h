#pragma once
// A strip of tabs over a frame that holds one page per tab. Each tab has a caption (a '&'
// marks its mnemonic and is not shown) and a page, a panel child of the tab control that
// fills PageRect(); the current tab's page shows, the others are hidden. Tabs are all
// TabWidth() pixels wide and kTabHeight high, on both backends, so pages sit at the same
// place everywhere.
//
// Choosing: SetTabIndex is the program (no OnChange); NoteTabChosen is the backend reporting
// a click or an arrow key of the native strip; ChooseTab and CycleTab (Ctrl+Tab, from the
// form's routing) choose for the user and tell the peer themselves. A user's choice raises OnChange
// when it changed the tab, and if the focus was on the page that went away, the strip takes it, so
// the keys keep a home.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"

namespace ui {

class Panel;

class TabControl : public Control {
 public:
  static constexpr int kTabHeight = 20;
  // The frame's width around the page area (the native control's display margin).
  static constexpr int kPageInset = 4;

  TabControl(Control* parent, std::string name);

  // A new last tab with its page, a borderless panel named `pageName`, owned by this control.
  // The first page added becomes the current one.
  Panel& AddPage(std::string pageName, std::string caption);
  int Count() const { return static_cast<int>(tabs_.size()); }
  const std::string& TabCaption(int index) const;
  Panel* Page(int index) const;
  int IndexOfPage(std::string_view pageName) const;  // -1: no such page
  // Captions in order (the peer's items).
  std::vector<std::string> Captions() const;

  int TabIndex() const { return tabIndex_; }
  // Programmatic: shows that tab's page (an index out of range is ignored). No OnChange.
  void SetTabIndex(int index);
  // The user chose a tab (ignored when out of range): page, then OnChange when it changed.
  void NoteTabChosen(int index);
  // A choice the toolkit makes for the user (keyboard page switching, a scripted answer): as
  // NoteTabChosen, and the peer is told, since the native strip did not make it.
  void ChooseTab(int index);
  // The next (or previous) tab, wrapping: the user's Ctrl+Tab and Ctrl+Shift+Tab.
  void CycleTab(bool forward);

  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int width);
  // Where a tab is drawn; the current one stands out, 2 pixels wider on each side and up to
  // the top edge. Empty for an index out of range.
  Rect TabRect(int index) const;
  // The tab at a point of this control (the current one first, as it lies on top); -1: none.
  int TabAt(Point p) const;
  // The pages' place: inside the frame below the strip.
  Rect PageRect() const;

  void Realign() override;
  void Paint(Canvas& canvas) override;
  // The focus mark is drawn on the current tab.
  void HandleEnter() override;
  void HandleExit() override;

  std::function<void()> OnChange;

 private:
  struct Tab {
    std::string caption;
    Panel* page;
  };
  // The user's choice: current tab and page, the focus kept in the control, OnChange.
  void Choose(int index);
  void ShowCurrentPage();

  std::vector<Tab> tabs_;
  int tabIndex_ = -1;
  int tabWidth_ = 80;
};

// The tab control that keyboard page switching acts on for a key sent to `target`: the
// nearest one around it, else the first showing one of `form`; nullptr when there is none.
TabControl* TabControlFor(Control& form, Control* target);

}  // namespace ui
