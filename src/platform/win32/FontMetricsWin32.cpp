// Font metrics from GDI: the font is selected into a memory device context compatible with the
// screen, and sizes in points are converted at the fixed screen resolution. GDI calls on one
// context are serialised.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>

#include "platform/FontMetrics.h"

namespace platform {
namespace {

class GdiFontMetrics : public IFontMetrics {
 public:
  ~GdiFontMetrics() override {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (font_) DeleteObject(font_);
    if (dc_) DeleteDC(dc_);
  }

  // False when GDI refuses the context or the font.
  bool Create(const FontDescription& desc) {
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    LOGFONTA lf{};
    lf.lfHeight = -desc.PixelSize();  // negative: the em height, as point sizes mean
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = desc.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::string face = desc.face.empty() ? std::string("Tahoma") : desc.face;
    std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font_ = CreateFontIndirectA(&lf);
    if (!font_) return false;
    old_ = SelectObject(dc_, font_);
    if (!old_) return false;
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc_, &tm) || tm.tmHeight <= 0) return false;
    metrics_.height = tm.tmHeight;
    metrics_.ascent = tm.tmAscent;
    metrics_.descent = tm.tmDescent;
    return true;
  }

  TextMetrics Metrics() const override { return metrics_; }
  int TextWidth(std::string_view text) const override {
    if (text.empty()) return 0;
    std::lock_guard lock(mutex_);
    SIZE size{};
    const int length = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    if (!GetTextExtentPoint32A(dc_, text.data(), length, &size)) return 0;
    return size.cx;
  }
  bool IsMeasured() const override { return true; }

 private:
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
  TextMetrics metrics_;
  mutable std::mutex mutex_;
};

}  // namespace

// GDI finds the system's fonts by name; no file is involved.
FontFile LocateFontFile(const FontDescription&) { return {}; }

std::unique_ptr<IFontMetrics> CreateFontMetrics(const FontDescription& font) {
  auto metrics = std::make_unique<GdiFontMetrics>();
  if (metrics->Create(font)) return metrics;
  return CreateEstimatedFontMetrics(font);
}

}  // namespace platform
