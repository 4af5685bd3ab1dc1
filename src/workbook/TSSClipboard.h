#pragma once
// Clipboard access for copy, cut and paste: the private block format and Unicode text. The
// portable store is process-wide memory; a platform clipboard is installed with
// SetClipboard (the caller keeps it alive).
#include <optional>
#include <string>

namespace workbook {

constexpr const char* kPrivateClipboardFormat = "VantorSpreadSheet 1.0";

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual void Clear() = 0;
  virtual void SetData(const std::string& format, const std::string& bytes) = 0;
  virtual std::optional<std::string> GetData(const std::string& format) const = 0;
  virtual void SetText(const std::u16string& text) = 0;
  virtual std::optional<std::u16string> GetText() const = 0;
  // 8-bit text where a clipboard has only that.
  virtual std::optional<std::string> GetAnsiText() const { return std::nullopt; }
};

class MemoryClipboard : public IClipboard {
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

// The clipboard in use: the installed one, else the process-wide memory clipboard.
IClipboard& Clipboard();
void SetClipboard(IClipboard* clipboard);

}  // namespace workbook
