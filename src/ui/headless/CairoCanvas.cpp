#include "ui/headless/CairoCanvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <memory>
#include <mutex>

#include "platform/CodePage.h"

namespace ui {
namespace {

uint32_t Opaque(Color c) {
  return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// A font file opened once for the process: the Cairo face over it and the glyph index of every
// character of the code page.
struct PaintFace {
  cairo_font_face_t* face = nullptr;
  std::array<unsigned, 256> glyphs{};
};

// Faces live until the process ends, as the shared font metrics do; Cairo keeps the FreeType
// face it is given, so neither is ever released. Looked up by face name and style, so that
// the font files are searched once per font, not once per text.
const PaintFace* FaceFor(const platform::FontDescription& desc) {
  static std::mutex mutex;
  static FT_Library library = nullptr;
  static std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<PaintFace>> faces;
  std::lock_guard lock(mutex);
  const auto key = std::make_tuple(desc.face, desc.bold, desc.italic);
  if (auto it = faces.find(key); it != faces.end()) return it->second.get();
  auto& slot = faces[key];  // stays null when the font cannot be opened
  const platform::FontFile file = platform::LocateFontFile(desc);
  if (file.path.empty()) return nullptr;
  if (!library && FT_Init_FreeType(&library) != 0) library = nullptr;
  FT_Face ft = nullptr;
  if (!library || FT_New_Face(library, file.path.c_str(), 0, &ft) != 0) return nullptr;
  auto face = std::make_unique<PaintFace>();
  face->face = cairo_ft_font_face_create_for_ft_face(ft, 0);
  if (file.syntheticBold) cairo_ft_font_face_set_synthesize(face->face, CAIRO_FT_SYNTHESIZE_BOLD);
  for (int c = 32; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    const std::u16string unit = platform::AnsiToUtf16(std::string_view(&ch, 1));
    if (!unit.empty()) face->glyphs[c] = FT_Get_Char_Index(ft, unit[0]);
  }
  slot = std::move(face);
  return slot.get();
}

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* cr, Size size) : cr_(cr), size_(size) {
  cairo_save(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
  ResetState();
}

CairoCanvas::~CairoCanvas() {
  for (auto& entry : patterns_) cairo_pattern_destroy(entry.second);
  cairo_restore(cr_);
}

void CairoCanvas::SetSource(Color c) {
  cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

void CairoCanvas::DeviceSetClip(const Rect& clip) {
  cairo_reset_clip(cr_);
  cairo_rectangle(cr_, clip.left, clip.top, clip.Width(), clip.Height());
  cairo_clip(cr_);
}

void CairoCanvas::DeviceFillRect(const Rect& r, Color color) {
  SetSource(color);
  cairo_rectangle(cr_, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr_);
}

cairo_pattern_t* CairoCanvas::RepeatingPattern(const PatternKey& key,
                                               const std::function<uint32_t(int, int)>& pixel) {
  if (auto it = patterns_.find(key); it != patterns_.end()) return it->second;
  if (patterns_.size() >= 256) {
    for (auto& entry : patterns_) cairo_pattern_destroy(entry.second);
    patterns_.clear();
  }
  const int w = std::get<3>(key), h = std::get<4>(key);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) reinterpret_cast<uint32_t*>(data + y * stride)[x] = pixel(x, y);
  cairo_surface_mark_dirty(surface);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
  cairo_surface_destroy(surface);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  patterns_.emplace(key, pattern);
  return pattern;
}

void CairoCanvas::DeviceFillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                                 Color background) {
  uint64_t packed = 0;
  for (uint8_t row : bits) packed = (packed << 8) | row;
  const PatternKey key{packed, Opaque(patternColor), Opaque(background), 8, 8};
  cairo_set_source(cr_, RepeatingPattern(key, [&](int x, int y) {
                     return Opaque(PatternBitIsBackground(bits, x, y) ? background : patternColor);
                   }));
  cairo_rectangle(cr_, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr_);
}

void CairoCanvas::DeviceFillDash(const Rect& r, Orientation orientation, std::string_view dash,
                                 Color line, Color gap, int shift) {
  // Dashes longer than 63 are cut; the edge styles' longest is 24.
  const int n = static_cast<int>(std::min<size_t>(dash.size(), 63));
  const bool horizontal = orientation == Orientation::Horizontal;
  uint64_t packed = 1;  // a leading 1 keeps the length in the key
  for (int i = 0; i < n; ++i) packed = (packed << 1) | (dash[i] == '1' ? 1 : 0);
  const PatternKey key{packed, Opaque(line), Opaque(gap), horizontal ? n : 1, horizontal ? 1 : n};
  cairo_pattern_t* pattern = RepeatingPattern(
      key, [&](int x, int y) { return Opaque(dash[horizontal ? x : y] == '1' ? line : gap); });
  // Pattern space is user space moved back by the shift: device pixel x shows dash[x - shift].
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, horizontal ? -shift : 0, horizontal ? 0 : -shift);
  cairo_pattern_set_matrix(pattern, &m);
  cairo_set_source(cr_, pattern);
  cairo_rectangle(cr_, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr_);
}

void CairoCanvas::DeviceFillPolygon(std::span<const Point> points, Color color) {
  SetSource(color);
  cairo_move_to(cr_, points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x, points[i].y);
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

void CairoCanvas::DevicePolyline(std::span<const Point> points, const Pen& pen) {
  SetSource(pen.color);
  cairo_set_line_width(cr_, pen.width);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  static constexpr double kDash[] = {6, 2}, kDot[] = {1, 1}, kDashDot[] = {6, 2, 2, 2},
                          kDashDotDot[] = {6, 2, 2, 2, 2, 2};
  switch (pen.style) {
    case PenStyle::Dash:
      cairo_set_dash(cr_, kDash, 2, 0);
      break;
    case PenStyle::Dot:
      cairo_set_dash(cr_, kDot, 2, 0);
      break;
    case PenStyle::DashDot:
      cairo_set_dash(cr_, kDashDot, 4, 0);
      break;
    case PenStyle::DashDotDot:
      cairo_set_dash(cr_, kDashDotDot, 6, 0);
      break;
    case PenStyle::Solid:
      cairo_set_dash(cr_, nullptr, 0, 0);
      break;
  }
  // Through the pixel centres, as a one-pixel pen on a pixel grid is drawn.
  cairo_move_to(cr_, points[0].x + 0.5, points[0].y + 0.5);
  for (size_t i = 1; i < points.size(); ++i)
    cairo_line_to(cr_, points[i].x + 0.5, points[i].y + 0.5);
  cairo_stroke(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
}

void CairoCanvas::DeviceText(Point p, std::string_view text, const Font& font, Color color) {
  const platform::FontDescription desc = font.Description();
  const platform::IFontMetrics& metrics = MetricsOf(font);
  const int ascent = metrics.Metrics().ascent;
  const PaintFace* face = FaceFor(desc);
  SetSource(color);
  cairo_save(cr_);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
  if (face) {
    cairo_set_font_face(cr_, face->face);
  } else {
    // No font file: a generic face, still placed at the estimated advances.
    cairo_select_font_face(cr_, "sans-serif",
                           font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  }
  cairo_set_font_size(cr_, desc.PixelSize());
  int x = p.x;
  std::vector<cairo_glyph_t> glyphs;
  glyphs.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const int advance = metrics.TextWidth(std::string_view(&ch, 1));
    if (face && face->glyphs[c] != 0) {
      glyphs.push_back(cairo_glyph_t{face->glyphs[c], static_cast<double>(x),
                                     static_cast<double>(p.y + ascent)});
    } else if (!face && c >= 32) {
      const std::string utf8 = platform::AnsiToUtf8(std::string_view(&ch, 1));
      cairo_move_to(cr_, x, p.y + ascent);
      cairo_show_text(cr_, utf8.c_str());
    }
    x += advance;
  }
  if (!glyphs.empty()) cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
  cairo_restore(cr_);
}

void CairoCanvas::DeviceImage(const Image& image, const Rect& src, Point p) {
  // Cairo only reads the source surface; the image is not changed.
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image.Data())), CAIRO_FORMAT_ARGB32,
      image.Width(), image.Height(), image.Stride());
  cairo_set_source_surface(cr_, surface, p.x - src.left, p.y - src.top);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr_, p.x, p.y, src.Width(), src.Height());
  cairo_fill(cr_);
  cairo_surface_destroy(surface);
}

// ---- The image surface ----
namespace {

// Owns the surface over the image's pixels and its context. As the first base it is made
// before the canvas and destroyed after it, so the canvas restores a living context, and the
// pixels are flushed into the image last.
struct CairoImageTarget {
  explicit CairoImageTarget(Image& image)
      : surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(image.Data()),
                                                    CAIRO_FORMAT_ARGB32, image.Width(),
                                                    image.Height(), image.Stride())),
        cr(cairo_create(surface)) {}
  ~CairoImageTarget() {
    cairo_surface_flush(surface);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  CairoImageTarget(const CairoImageTarget&) = delete;
  CairoImageTarget& operator=(const CairoImageTarget&) = delete;
  cairo_surface_t* surface;
  cairo_t* cr;
};

class CairoImageCanvas : private CairoImageTarget, public CairoCanvas {
 public:
  explicit CairoImageCanvas(Image& image)
      : CairoImageTarget(image), CairoCanvas(cr, Size{image.Width(), image.Height()}) {}
};

}  // namespace

std::unique_ptr<Canvas> CreateImageCanvas(Image& image) {
  return std::make_unique<CairoImageCanvas>(image);
}

}  // namespace ui
