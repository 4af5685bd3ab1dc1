#include "workbook/TCustomHistory.h"

namespace workbook {

TCustomHistory::TCustomHistory() : undo_(this), redo_(this), current_(&undo_) {}

TCustomHistory::~TCustomHistory() = default;

void TCustomHistory::Insert(std::unique_ptr<TCustomAction> action) {
  if (current_ == &undo_ && undo_.ChildCount() >= kLimit) {
    // The oldest step is forgotten.
    TCustomAction* oldest = undo_.ChildAt(undo_.ChildCount() - 1);
    oldest->Unlink();
  }
  if (!action->IsComplex()) redo_.FreeChildren();
  current_->InsertChild(std::move(action));
}

TCustomAction* TCustomHistory::AddAction(std::unique_ptr<TCustomAction> action) {
  if (IsSuspended() || !action) return nullptr;
  TCustomAction* raw = action.get();
  Insert(std::move(action));
  Changed();
  return raw;
}

TComplexAction* TCustomHistory::BeginGroup(const std::string& caption) {
  if (IsSuspended()) return nullptr;
  auto group = std::make_unique<TComplexAction>(this, caption);
  TComplexAction* raw = group.get();
  Insert(std::move(group));
  current_ = raw;
  return raw;
}

void TCustomHistory::EndGroup() {
  if (current_ == &undo_) return;
  TCustomAction* group = current_;
  current_ = group->Parent() ? group->Parent() : &undo_;
  // Empty nested groups at the front leave no trace.
  while (group->ChildCount() > 0 && group->ChildAt(0)->IsComplex() &&
         group->ChildAt(0)->ChildCount() == 0)
    group->ChildAt(0)->Unlink();
  if (group->ChildCount() > 0)
    Changed();
  else
    group->Unlink();
}

void TCustomHistory::Undo(int count) { Replay(undo_, redo_, count, true); }

void TCustomHistory::Redo(int count) { Replay(redo_, undo_, count, false); }

void TCustomHistory::Replay(TActionList& from, TActionList& to, int count, bool undo) {
  if (InGroup()) return;  // never undo or redo half of an open step
  bool any = false;
  for (int i = 0; i < count && from.ChildCount() > 0; ++i) {
    std::unique_ptr<TCustomAction> action = from.ChildAt(0)->Unlink();
    LockBook(false);
    Suspend();
    try {
      if (undo)
        action->Undo();
      else
        action->Redo();
    } catch (...) {
      // A step that fails half-way leaves states the other steps cannot rely on.
      Resume();
      LockBook(true);
      action.reset();
      Clear();
      throw;
    }
    Resume();
    LockBook(true);
    to.InsertChild(std::move(action));
    any = true;
  }
  if (any) {
    AfterUndoRedo();
    Changed();
  }
}

void TCustomHistory::Clear() {
  if (clearing_) return;
  clearing_ = true;
  undo_.FreeChildren();
  redo_.FreeChildren();
  current_ = &undo_;
  clearing_ = false;
  Changed();
}

}  // namespace workbook
