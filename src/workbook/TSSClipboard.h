#pragma once
// Clipboard access for copy, cut and paste: the private block format and text. A book uses the
// clipboard of its services: the platform clipboard in the programs (the system clipboard on
// Windows, a process-wide store elsewhere), a MemoryClipboard in tests that need their own.
#include <optional>
#include <string>

namespace workbook {

constexpr const char* kPrivateClipboardFormat = "VantorSpreadSheet 1.0";

class BookClipboard {
 public:
  virtual ~BookClipboard() = default;
  virtual void Clear() = 0;
  virtual void SetData(const std::string& format, const std::string& bytes) = 0;
  virtual std::optional<std::string> GetData(const std::string& format) const = 0;
  virtual void SetText(const std::u16string& text) = 0;
  virtual std::optional<std::u16string> GetText() const = 0;
  // 8-bit text where a clipboard has only that.
  virtual std::optional<std::string> GetAnsiText() const { return std::nullopt; }
};

class MemoryClipboard : public BookClipboard {
 public:
  void Clear() override {
    format_.clear();
    data_.reset();
    text_.reset();
  }
  void SetData(const std::string& format, const std::string& bytes) override {
    format_ = format;
    data_ = bytes;
  }
  std::optional<std::string> GetData(const std::string& format) const override {
    if (!data_ || format != format_) return std::nullopt;
    return data_;
  }
  void SetText(const std::u16string& text) override { text_ = text; }
  std::optional<std::u16string> GetText() const override { return text_; }

 private:
  std::string format_;
  std::optional<std::string> data_;
  std::optional<std::u16string> text_;
};

// The platform clipboard. The system clipboard holds 8-bit text, so texts pass through the
// system code page. Block and text are written together: each change rewrites both.
class PlatformClipboard : public BookClipboard {
 public:
  void Clear() override;
  void SetData(const std::string& format, const std::string& bytes) override;
  std::optional<std::string> GetData(const std::string& format) const override;
  void SetText(const std::u16string& text) override;
  std::optional<std::u16string> GetText() const override;
  std::optional<std::string> GetAnsiText() const override;

 private:
  void WritePending();

  std::string format_;
  std::optional<std::string> data_;
  std::optional<std::string> text_;
};

}  // namespace workbook
