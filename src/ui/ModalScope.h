#pragma once
// Counts a running modal dialog for the re-entrancy checks (InModalDialog, a window's own
// modal depth) for the object's lifetime, so the count drops on every path out, exceptions
// included.
namespace ui {

class ModalScope {
 public:
  explicit ModalScope(int& depth) : depth_(depth) { ++depth_; }
  ~ModalScope() { --depth_; }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  int& depth_;
};

}  // namespace ui
