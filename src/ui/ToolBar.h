#pragma once
// A flat toolbar: a row of image buttons, separators and child controls (combo boxes) laid
// out left to right. The toolbar draws and hit-tests its buttons itself on every backend,
// so pressing, toggling and grouping behave the same everywhere:
//   - a press on an enabled button shows it pressed; releasing over the same button clicks
//     it, releasing elsewhere (or losing the capture) cancels;
//   - a click on a Check button toggles its down state; a grouped Check button goes down
//     and every other button of its group goes up (a down grouped button stays down);
//   - then the linked command runs (when the button has one), else OnClick.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/Image.h"

namespace ui {

class Command;
class ToolBar;

enum class ToolButtonStyle { Button, Check, Separator };

class ToolButton {
 public:
  ToolButton(ToolBar& bar, std::string name, ToolButtonStyle style);
  ~ToolButton();
  ToolButton(const ToolButton&) = delete;
  ToolButton& operator=(const ToolButton&) = delete;

  const std::string& Name() const { return name_; }
  ToolButtonStyle Style() const { return style_; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  // Grouped Check buttons with the same group number (> 0) form one toggle set.
  int Group() const { return group_; }
  void SetGroup(int group) { group_ = group; }
  bool Down() const { return down_; }
  // Programmatic change; for a grouped button going down, the others go up. No OnClick.
  void SetDown(bool down);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Linked: enabled, down (for Check buttons: the command's checked mark) and hint follow
  // the command, and a click executes it. nullptr unlinks.
  void SetCommand(Command* command);
  Command* LinkedCommand() const { return command_; }
  // Where the toolbar placed the button, in toolbar coordinates.
  const Rect& Bounds() const { return bounds_; }

  // What a click does (also used by the headless injection of a click on the button).
  void Click();
  std::function<void()> OnClick;

 private:
  friend class ToolBar;
  ToolBar& bar_;
  std::string name_;
  ToolButtonStyle style_;
  int imageIndex_ = -1;
  int group_ = 0;
  bool down_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  std::string caption_;
  Command* command_ = nullptr;
  int linkKey_ = 0;
  Rect bounds_;
};

class ToolBar : public Control {
 public:
  ToolBar(Control* parent, std::string name);
  ~ToolBar() override;

  ToolButton& AddButton(const std::string& name, ToolButtonStyle style = ToolButtonStyle::Button);
  ToolButton& AddSeparator(const std::string& name = "");
  // Places a child control of this toolbar in the button row, after the items so far.
  void AddControl(Control& child);
  ToolButton* FindButton(const std::string& name);
  const std::vector<std::unique_ptr<ToolButton>>& Buttons() const { return buttons_; }

  Size ButtonSize() const { return buttonSize_; }
  void SetButtonSize(Size size);
  // Images of the buttons, by index; the toolbar keeps its own copies.
  void SetImages(std::vector<Image> images);
  const std::vector<Image>& Images() const { return images_; }
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool on);
  const std::string& ToolbarCaption() const { return Caption(); }

  // The button under a point (toolbar coordinates), nullptr for none or a separator.
  ToolButton* ButtonAt(Point p);
  ToolButton* PressedButton() const { return pressed_; }
  // The height the row needs: the button height plus the border.
  int NeededHeight() const;

  void Realign() override;
  void Paint(Canvas& canvas) override;
  void HandleMouseDown(const MouseEvent& event) override;
  void HandleMouseMove(const MouseEvent& event) override;
  void HandleMouseUp(const MouseEvent& event) override;

  // Called by buttons when their look changed.
  void ButtonChanged(ToolButton& button);
  void GroupDown(ToolButton& button);
  void ButtonDying(ToolButton& button);

 private:
  struct Item {
    ToolButton* button = nullptr;
    Control* control = nullptr;
  };
  std::vector<std::unique_ptr<ToolButton>> buttons_;
  std::vector<Item> items_;
  std::vector<Image> images_;
  Size buttonSize_{23, 22};
  bool showCaptions_ = false;
  ToolButton* pressed_ = nullptr;
  bool pressedInside_ = false;
};

// A container that stacks its toolbars (or any children) in rows, top to bottom in the
// order added, and sizes itself to their total height: hiding a toolbar shrinks the bar,
// and an empty bar is 0 pixels high.
class ControlBar : public Control {
 public:
  ControlBar(Control* parent, std::string name);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  void Realign() override;
  void Paint(Canvas& canvas) override;

 private:
  bool autoSize_ = true;
  bool arranging_ = false;
};

}  // namespace ui
