#pragma once
// The undo and redo lists and the recording state. While an action is undone or redone
// recording is suspended.
#include <memory>
#include <string>

#include "workbook/TCustomAction.h"

namespace workbook {

class TCustomHistory {
 public:
  static constexpr int kLimit = 15;
  TCustomHistory();
  virtual ~TCustomHistory();

  // Offers an action; while suspended nothing is kept and the result is null. The history
  // owns the action; the pointer stays valid until the action is freed.
  TCustomAction* AddAction(std::unique_ptr<TCustomAction> action);
  // Opens a group: everything recorded until EndGroup becomes its child. Null while suspended.
  TComplexAction* BeginGroup(const std::string& caption);
  void EndGroup();
  void Suspend() { ++suspendCount_; }
  void Resume() {
    if (suspendCount_ > 0) --suspendCount_;
  }
  bool IsSuspended() const { return suspendCount_ > 0; }
  virtual void Undo(int count = 1);
  virtual void Redo(int count = 1);
  virtual void Clear();
  int UndoCount() const { return undo_.ChildCount(); }
  int RedoCount() const { return redo_.ChildCount(); }
  const TActionList& UndoList() const { return undo_; }
  const TActionList& RedoList() const { return redo_; }
  // Depth of open groups.
  bool InGroup() const { return current_ != &undo_; }

 protected:
  virtual void Changed() {}
  virtual void LockBook(bool unlock) {}
  virtual void AfterUndoRedo() {}

 private:
  void Insert(std::unique_ptr<TCustomAction> action);
  // Takes up to `count` steps from the front of `from`, undoes or redoes each, and moves it to
  // the front of `to`.
  void Replay(TActionList& from, TActionList& to, int count, bool undo);
  TActionList undo_;
  TActionList redo_;
  TCustomAction* current_;
  int suspendCount_ = 0;
  bool clearing_ = false;
};

}  // namespace workbook
