#include "ui/win32/GdiCanvas.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace ui {
namespace {

COLORREF Ref(Color c) { return RGB(c.r, c.g, c.b); }

// A 32-bit DIB pixel (blue, green, red, unused) of a colour.
uint32_t Bgr(Color c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// The same font as the platform metrics measure with (see FontMetricsWin32.cpp).
HFONT MakeFont(const Font& font) {
  const platform::FontDescription desc = font.Description();
  LOGFONTA lf{};
  lf.lfHeight = -desc.PixelSize();
  lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = desc.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  const std::string face = desc.face.empty() ? std::string("Tahoma") : desc.face;
  std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

std::string FontKey(const Font& font) {
  const platform::FontDescription d = font.Description();
  return d.face + '|' + std::to_string(d.PixelSize()) + (d.bold ? "b" : "") + (d.italic ? "i" : "");
}

// A packed DIB (header and pixels) for CreateDIBPatternBrushPt.
struct PackedDib {
  BITMAPINFOHEADER header{};
  uint32_t pixels[64];
};

}  // namespace

GdiCanvas::GdiCanvas(HDC dc, Size size) : dc_(dc), size_(size) {
  saved_ = SaveDC(dc_);
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  ResetState();
}

GdiCanvas::~GdiCanvas() {
  if (saved_) RestoreDC(dc_, saved_);
  for (auto& entry : fonts_) DeleteObject(entry.second);
}

void GdiCanvas::DeviceSetClip(const Rect& clip) {
  clip_ = clip;
  SelectClipRgn(dc_, nullptr);
  IntersectClipRect(dc_, clip.left, clip.top, clip.right, clip.bottom);
}

void GdiCanvas::DeviceFillRect(const Rect& r, Color color) {
  const RECT rc{r.left, r.top, r.right, r.bottom};
  SetBkColor(dc_, Ref(color));
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void GdiCanvas::DeviceFillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                               Color background) {
  // Monochrome rows are padded to 16 bits; 0 bits take the text colour, 1 bits the background.
  WORD rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = bits[i];
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
  if (!bitmap) return;
  HBRUSH brush = CreatePatternBrush(bitmap);
  if (brush) {
    SetTextColor(dc_, Ref(patternColor));
    SetBkColor(dc_, Ref(background));
    SetBrushOrgEx(dc_, 0, 0, nullptr);
    const RECT rc{r.left, r.top, r.right, r.bottom};
    ::FillRect(dc_, &rc, brush);
    DeleteObject(brush);
  }
  DeleteObject(bitmap);
}

void GdiCanvas::DeviceFillDash(const Rect& r, Orientation orientation, std::string_view dash,
                               Color line, Color gap, int shift) {
  const int n = std::min<int>(static_cast<int>(dash.size()), 64);
  const bool horizontal = orientation == Orientation::Horizontal;
  PackedDib dib;
  dib.header.biSize = sizeof(BITMAPINFOHEADER);
  dib.header.biWidth = horizontal ? n : 1;
  dib.header.biHeight = horizontal ? 1 : n;  // bottom-up: memory row 0 is the last row
  dib.header.biPlanes = 1;
  dib.header.biBitCount = 32;
  dib.header.biCompression = BI_RGB;
  for (int i = 0; i < n; ++i) {
    const int memory = horizontal ? i : n - 1 - i;
    dib.pixels[memory] = Bgr(dash[i] == '1' ? line : gap);
  }
  HBRUSH brush = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
  if (!brush) return;
  // Device pixel x shows dash[x - shift], as the brush repeats from its origin.
  SetBrushOrgEx(dc_, horizontal ? shift : 0, horizontal ? 0 : shift, nullptr);
  const RECT rc{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rc, brush);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  DeleteObject(brush);
}

void GdiCanvas::DeviceFillPolygon(std::span<const Point> points, Color color) {
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (Point p : points) pts.push_back(POINT{p.x, p.y});
  HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc_, Ref(color));
  SetPolyFillMode(dc_, WINDING);
  Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
  SelectObject(dc_, oldBrush);
  SelectObject(dc_, oldPen);
}

void GdiCanvas::DevicePolyline(std::span<const Point> points, const Pen& pen) {
  LOGBRUSH brush{BS_SOLID, Ref(pen.color), 0};
  static constexpr DWORD kDash[] = {6, 2}, kDot[] = {1, 1}, kDashDot[] = {6, 2, 2, 2},
                         kDashDotDot[] = {6, 2, 2, 2, 2, 2};
  const DWORD* style = nullptr;
  DWORD count = 0;
  switch (pen.style) {
    case PenStyle::Dash:
      style = kDash, count = 2;
      break;
    case PenStyle::Dot:
      style = kDot, count = 2;
      break;
    case PenStyle::DashDot:
      style = kDashDot, count = 4;
      break;
    case PenStyle::DashDotDot:
      style = kDashDotDot, count = 6;
      break;
    case PenStyle::Solid:
      break;
  }
  const DWORD kind =
      PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | (style ? PS_USERSTYLE : PS_SOLID);
  HPEN gdiPen =
      ExtCreatePen(kind, static_cast<DWORD>(std::max(1, pen.width)), &brush, count, style);
  if (!gdiPen) return;
  HGDIOBJ old = SelectObject(dc_, gdiPen);
  MoveToEx(dc_, points[0].x, points[0].y, nullptr);
  for (size_t i = 1; i < points.size(); ++i) LineTo(dc_, points[i].x, points[i].y);
  SelectObject(dc_, old);
  DeleteObject(gdiPen);
}

void GdiCanvas::DeviceText(Point p, std::string_view text, const Font& font, Color color) {
  const std::string key = FontKey(font);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(key, MakeFont(font)).first;
  if (!it->second) return;
  SelectObject(dc_, it->second);
  SetTextColor(dc_, Ref(color));
  SetBkMode(dc_, TRANSPARENT);
  // Every character at the advance the metrics measured; the last takes the difference, so
  // the line ends where TextWidth said.
  const platform::IFontMetrics& metrics = MetricsOf(font);
  const int n = static_cast<int>(std::min<size_t>(text.size(), 8192));
  std::vector<INT> dx(n);
  int sum = 0;
  for (int i = 0; i < n; ++i) {
    dx[i] = metrics.TextWidth(text.substr(i, 1));
    sum += dx[i];
  }
  if (n > 0) dx[n - 1] += metrics.TextWidth(text.substr(0, n)) - sum;
  ExtTextOutA(dc_, p.x, p.y, 0, nullptr, text.data(), n, dx.data());
}

void GdiCanvas::DeviceImage(const Image& image, const Rect& src, Point p) {
  const int w = src.Width(), h = src.Height();
  if (pixels_) {
    // Straight into the DIB: source over destination, premultiplied. The alpha byte is left 0,
    // as GDI leaves the pixels it paints.
    for (int y = 0; y < h; ++y) {
      const uint32_t* from =
          image.Data() + static_cast<size_t>(src.top + y) * image.Width() + src.left;
      auto* to = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels_) +
                                             static_cast<size_t>(p.y + y) * stride_) +
                 p.x;
      for (int x = 0; x < w; ++x) {
        const uint32_t s = from[x], d = to[x];
        const uint32_t a = s >> 24;
        if (a == 0) continue;
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t c =
              ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * (255 - a) + 127) / 255;
          out |= std::min<uint32_t>(c, 255) << shift;
        }
        to[x] = out;
      }
    }
    return;
  }
  // Through a DIB section of the part and AlphaBlend with per-pixel alpha.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return;
  for (int y = 0; y < h; ++y)
    std::memcpy(static_cast<uint32_t*>(bits) + static_cast<size_t>(y) * w,
                image.Data() + static_cast<size_t>(src.top + y) * image.Width() + src.left,
                static_cast<size_t>(w) * 4);
  HDC memory = CreateCompatibleDC(dc_);
  if (memory) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc_, p.x, p.y, w, h, memory, 0, 0, w, h, blend);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  DeleteObject(bitmap);
}

// ---- The image surface ----
namespace {

// A memory context with a top-down 32-bit DIB section holding a copy of the image. GDI leaves
// the alpha byte of what it paints 0 (and some implementations leave it alone), so the copy
// starts with alpha 1 everywhere; on destruction a pixel whose alpha byte or colour changed
// was painted and becomes opaque in the image, any other keeps its value. As the first base
// it outlives the canvas, which restores the context before the pixels are taken.
struct GdiImageTarget {
  explicit GdiImageTarget(Image& target) : image(target) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max(1, image.Width());
    info.bmiHeader.biHeight = -std::max(1, image.Height());
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0) : nullptr;
    bits = static_cast<uint32_t*>(memory);
    if (bitmap) old = SelectObject(dc, bitmap);
    if (bits) {
      const size_t count = static_cast<size_t>(image.Width()) * image.Height();
      for (size_t i = 0; i < count; ++i) bits[i] = (image.Data()[i] & 0x00FFFFFFu) | 0x01000000u;
    }
  }
  ~GdiImageTarget() {
    if (bits) {
      GdiFlush();
      const size_t count = static_cast<size_t>(image.Width()) * image.Height();
      for (size_t i = 0; i < count; ++i) {
        const uint32_t before = (image.Data()[i] & 0x00FFFFFFu) | 0x01000000u;
        if (bits[i] != before) image.Data()[i] = 0xFF000000u | (bits[i] & 0x00FFFFFFu);
      }
    }
    if (old) SelectObject(dc, old);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
  }
  GdiImageTarget(const GdiImageTarget&) = delete;
  GdiImageTarget& operator=(const GdiImageTarget&) = delete;

  Image& image;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint32_t* bits = nullptr;
};

class GdiImageCanvas : private GdiImageTarget, public GdiCanvas {
 public:
  explicit GdiImageCanvas(Image& image)
      : GdiImageTarget(image), GdiCanvas(dc, bits ? Size{image.Width(), image.Height()} : Size{}) {
    if (bits) SetDirectPixels(bits, image.Width() * 4);
  }
};

}  // namespace

std::unique_ptr<Canvas> CreateImageCanvas(Image& image) {
  return std::make_unique<GdiImageCanvas>(image);
}

}  // namespace ui
