#include "ui/Form.h"

#include <algorithm>

#include "ui/BasicControls.h"
#include "ui/CommandList.h"
#include "ui/CustomControl.h"
#include "ui/TabControl.h"

namespace ui {

Form::Form(uintptr_t parentWindow, std::string name)
    : Control(parentWindow, ControlKind::Form, std::move(name)) {
  SetTabStop(false);
  Peer().FormReady();
}

Form::~Form() {
  Peer().FormGoing();
  // Controls unlink from commands as they die, so they go before the command lists.
  DestroyChildren();
  focus_ = nullptr;
  capture_ = nullptr;
  commandLists_.clear();
}

CommandList& Form::AddCommandList(const std::string& name) {
  commandLists_.push_back(std::make_unique<CommandList>(name));
  return *commandLists_.back();
}

bool Form::DeliverForeignMessage(uint32_t message, intptr_t lParam) {
  return OnForeignMessage ? OnForeignMessage(message, lParam) : false;
}

void Form::NoteActivation(bool active) {
  if (active == active_) return;
  active_ = active;
  if (OnActivation) OnActivation(active);
}

bool Form::DispatchShortcut(Shortcut code) {
  for (const auto& list : commandLists_) {
    if (list->DispatchShortcut(code)) return true;
  }
  return false;
}

std::vector<Control*> Form::TabOrder() {
  std::vector<Control*> order;
  std::vector<Control*> pending{this};
  while (!pending.empty()) {
    Control* node = pending.back();
    pending.pop_back();
    if (node != this && node->TabStop() && node->CanFocus() &&
        (node->Kind() != ControlKind::RadioButton || static_cast<RadioButton*>(node)->TakesTab())) {
      order.push_back(node);
    }
    const auto& children = node->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
  }
  return order;
}

void Form::SelectNext(bool forward) {
  std::vector<Control*> order = TabOrder();
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), focus_);
  size_t index;
  if (at == order.end()) {
    index = forward ? 0 : order.size() - 1;
  } else {
    size_t current = static_cast<size_t>(at - order.begin());
    index = forward ? (current + 1) % order.size() : (current + order.size() - 1) % order.size();
  }
  order[index]->SetFocus();
}

int Form::RouteKeyDown(Control* target, int key, ShiftState shift) {
  Shortcut code = MakeShortcut(key, shift);
  // Plain keys are never shortcuts of commands; modified keys and function keys may be.
  if ((shift.ctrl || shift.alt || (key >= keys::kF1 && key < keys::kF1 + 12)) &&
      DispatchShortcut(code)) {
    return 0;
  }
  if (keyPreview_ && OnKeyDown) {
    OnKeyDown(key, shift);
    if (key == 0) return 0;
  }
  if (target != nullptr && target != this) {
    target->HandleKeyDown(key, shift);
    if (key == 0) return 0;
  }
  // Ctrl+Tab and Ctrl+PageDown go to the next page of a tab control, with Shift or PageUp
  // to the previous one, wherever the focus is, as in a dialog of pages.
  int pageStep = 0;
  if (shift.ctrl && !shift.alt) {
    if (key == keys::kTab) {
      pageStep = shift.shift ? -1 : 1;
    } else if (!shift.shift && (key == keys::kPageDown || key == keys::kPageUp)) {
      pageStep = key == keys::kPageDown ? 1 : -1;
    }
  }
  if (pageStep != 0) {
    TabControl* tabs = TabControlFor(*this, target);
    if (tabs != nullptr && tabs->Showing() && tabs->EffectivelyEnabled()) {
      tabs->CycleTab(pageStep > 0);
      return 0;
    }
  }
  if (key == keys::kTab && !shift.ctrl && !shift.alt) {
    bool wantsTab = target != nullptr && target->Kind() == ControlKind::Custom &&
                    static_cast<CustomControl*>(target)->WantTabs();
    if (!wantsTab) {
      SelectNext(!shift.shift);
      return 0;
    }
  }
  return key;
}

Button* Form::ExitButton(bool wantDefault) {
  std::vector<Control*> pending{this};
  while (!pending.empty()) {
    Control* node = pending.back();
    pending.pop_back();
    if (node->Kind() == ControlKind::Button) {
      auto* button = static_cast<Button*>(node);
      if ((wantDefault ? button->IsDefault() : button->IsCancel()) && button->Showing() &&
          button->EffectivelyEnabled()) {
        return button;
      }
    }
    const auto& children = node->Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
  }
  return nullptr;
}

bool Form::PressExitButton(Control* target, int key) {
  if (key != keys::kEnter && key != keys::kEscape) return false;
  if (target == nullptr || target->Kind() == ControlKind::Custom) return false;
  Button* button = ExitButton(key == keys::kEnter);
  if (button == nullptr) return false;
  button->HandleClick();
  return true;
}

char Form::RouteKeyPress(Control* target, char c) {
  if (keyPreview_ && OnKeyPress) {
    OnKeyPress(c);
    if (c == 0) return 0;
  }
  if (target != nullptr && target != this) target->HandleKeyPress(c);
  return c;
}

void Form::NoteFocus(Control* control) {
  if (control == focus_) return;
  Control* old = focus_;
  focus_ = control;
  // Exit runs after the move so that a handler asking Focused() sees the new state.
  if (old != nullptr) old->HandleExit();
  if (focus_ == control && control != nullptr) control->HandleEnter();
}

void Form::NoteCapture(Control* control) { capture_ = control; }

void Form::ControlDestroyed(Control* control) {
  if (focus_ == control) focus_ = nullptr;
  if (capture_ == control) capture_ = nullptr;
}

void Form::ControlHidden(Control* control) {
  auto within = [control](Control* node) {
    for (; node != nullptr; node = node->Parent()) {
      if (node == control) return true;
    }
    return false;
  };
  if (within(capture_)) {
    Control* held = capture_;
    held->ReleaseCapture();
  }
  if (within(focus_)) NoteFocus(nullptr);
}

}  // namespace ui
