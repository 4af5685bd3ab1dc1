#include "workbook/TCustomAction.h"

namespace workbook {

void TCustomAction::Undo() {
  for (auto& child : children_) child->Undo();
}

void TCustomAction::Redo() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) (*it)->Redo();
}

void TCustomAction::AppendChild(std::unique_ptr<TCustomAction> action) {
  action->parent_ = this;
  children_.push_back(std::move(action));
}

void TCustomAction::InsertChild(std::unique_ptr<TCustomAction> action) {
  action->parent_ = this;
  children_.insert(children_.begin(), std::move(action));
}

std::unique_ptr<TCustomAction> TCustomAction::Unlink() {
  if (!parent_) return nullptr;
  auto& siblings = parent_->children_;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (it->get() == this) {
      std::unique_ptr<TCustomAction> self = std::move(*it);
      siblings.erase(it);
      parent_ = nullptr;
      return self;
    }
  }
  return nullptr;
}

TCustomAction* TCustomAction::ChildAt(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

}  // namespace workbook
