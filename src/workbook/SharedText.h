#pragma once
// An immutable, reference-counted 8-bit text of one pointer's size. Cells share texts when
// records are copied; an empty text holds no block at all.
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "workbook/TextBlockPool.h"

namespace workbook {

class SharedText {
 public:
  SharedText() = default;
  explicit SharedText(std::string_view text) {
    if (text.empty()) return;
    void* raw = text_blocks::Allocate(sizeof(Block) + text.size());
    block_ = new (raw) Block{1, static_cast<uint32_t>(text.size())};
    std::memcpy(block_->Chars(), text.data(), text.size());
  }
  SharedText(const SharedText& o) : block_(o.block_) {
    if (block_) ++block_->refs;
  }
  SharedText(SharedText&& o) noexcept : block_(o.block_) { o.block_ = nullptr; }
  SharedText& operator=(SharedText o) noexcept {
    std::swap(block_, o.block_);
    return *this;
  }
  ~SharedText() { Drop(); }

  std::string_view View() const {
    return block_ ? std::string_view(block_->Chars(), block_->size) : std::string_view();
  }
  bool Empty() const { return block_ == nullptr; }
  bool SameBlock(const SharedText& o) const { return block_ == o.block_; }
  int32_t UseCount() const { return block_ ? block_->refs : 0; }

 private:
  struct Block {
    int32_t refs;
    uint32_t size;
    char* Chars() { return reinterpret_cast<char*>(this + 1); }
  };
  void Drop() {
    if (block_ && --block_->refs == 0) {
      const size_t bytes = sizeof(Block) + block_->size;
      block_->~Block();
      text_blocks::Free(block_, bytes);
    }
    block_ = nullptr;
  }
  Block* block_ = nullptr;
};

}  // namespace workbook
