#pragma once
// Undo and redo actions form a tree: the undo and redo lists hold top-level actions (newest
// first); a complex action collects everything recorded while it is open. Cell actions keep a
// copy of their cells and swap it with the current state, so one action serves undo and redo.
#include <memory>
#include <string>
#include <vector>

namespace workbook {

class TCustomHistory;

class TCustomAction {
 public:
  explicit TCustomAction(TCustomHistory* history) : history_(history) {}
  virtual ~TCustomAction() = default;
  TCustomAction(const TCustomAction&) = delete;
  TCustomAction& operator=(const TCustomAction&) = delete;

  virtual void FreeChildren() { children_.clear(); }
  virtual std::string Caption() const { return "TCustomAction"; }
  // Default: undo every child, newest first; redo every child, oldest first.
  virtual void Undo();
  virtual void Redo();
  // At the end (oldest) / at the front (newest).
  virtual void AppendChild(std::unique_ptr<TCustomAction> action);
  virtual void InsertChild(std::unique_ptr<TCustomAction> action);
  // Takes this action out of its parent's list; the caller owns it then.
  std::unique_ptr<TCustomAction> Unlink();
  int ChildCount() const { return static_cast<int>(children_.size()); }
  // 0 is the newest.
  TCustomAction* ChildAt(int index) const;
  TCustomAction* Parent() const { return parent_; }
  virtual bool IsComplex() const { return false; }

 protected:
  TCustomHistory* history_;
  TCustomAction* parent_ = nullptr;
  std::vector<std::unique_ptr<TCustomAction>> children_;  // [0] newest
};

class TActionList : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
  std::string Caption() const override { return "TActionList"; }
};

class TComplexAction : public TCustomAction {
 public:
  TComplexAction(TCustomHistory* history, std::string caption)
      : TCustomAction(history), caption_(std::move(caption)) {}
  std::string Caption() const override { return caption_; }
  bool IsComplex() const override { return true; }

 private:
  std::string caption_;
};

}  // namespace workbook
