// The looks of the standard controls, painted through the canvas: the headless backend
// paints every control this way; the Win32 backend uses these for the controls it draws
// itself (toolbars, panels, the control bar). Classic flat look, system colours.
#include <algorithm>
#include <cmath>

#include "ui/BasicControls.h"
#include "ui/Canvas.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/Keys.h"
#include "ui/ListBox.h"
#include "ui/ScrollBarLook.h"
#include "ui/SystemColors.h"
#include "ui/TabControl.h"
#include "ui/ToolBar.h"

namespace ui {

namespace {

// Raised: light top-left, dark bottom-right; sunken the other way round.
void Bevel3D(Canvas& canvas, const Rect& r, bool raised) {
  if (r.IsEmpty()) return;
  Color light = raised ? colors::kButtonHighlight : colors::kButtonShadow;
  Color dark = raised ? colors::kButtonShadow : colors::kButtonHighlight;
  canvas.FillRect(Rect{r.left, r.top, r.right, r.top + 1}, light);
  canvas.FillRect(Rect{r.left, r.top, r.left + 1, r.bottom}, light);
  canvas.FillRect(Rect{r.left, r.bottom - 1, r.right, r.bottom}, dark);
  canvas.FillRect(Rect{r.right - 1, r.top, r.right, r.bottom}, dark);
}

void SunkenField(Canvas& canvas, const Rect& r, Color fill) {
  canvas.FillRect(r, fill);
  Bevel3D(canvas, r, false);
  Rect inner = r.Inflate(-1);
  if (inner.IsEmpty()) return;
  canvas.FillRect(Rect{inner.left, inner.top, inner.right, inner.top + 1},
                  colors::kButtonDarkShadow);
  canvas.FillRect(Rect{inner.left, inner.top, inner.left + 1, inner.bottom},
                  colors::kButtonDarkShadow);
}

Color TextColor(const Control& control) {
  return control.EffectivelyEnabled() ? colors::kWindowText : colors::kGrayText;
}

HorzAlign ToHorz(TextAlign align) {
  switch (align) {
    case TextAlign::Center:
      return HorzAlign::Center;
    case TextAlign::Right:
      return HorzAlign::Right;
    default:
      return HorzAlign::Left;
  }
}

TextFormat OneLine(HorzAlign horz, VertAlign vert = VertAlign::Center) {
  TextFormat format;
  format.horz = horz;
  format.vert = vert;
  format.singleLine = true;
  return format;
}

void FocusFrame(Canvas& canvas, const Rect& r) {
  Pen dotted{colors::kWindowText, 1, PenStyle::Dot};
  Point corners[5] = {{r.left, r.top},
                      {r.right - 1, r.top},
                      {r.right - 1, r.bottom - 1},
                      {r.left, r.bottom - 1},
                      {r.left, r.top}};
  canvas.Polyline(corners, dotted);
}

// A disc of the given diameter with its bounding square's top-left at `corner`, as rows of
// pixels (exact on every canvas, no smoothing).
void FillDisc(Canvas& canvas, Point corner, int diameter, Color color) {
  const double radius = diameter / 2.0;
  for (int row = 0; row < diameter; ++row) {
    const double dy = row + 0.5 - radius;
    const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    const int inset = static_cast<int>(std::lround(radius - half));
    if (diameter - 2 * inset <= 0) continue;
    canvas.FillRect(
        Rect{corner.x + inset, corner.y + row, corner.x + diameter - inset, corner.y + row + 1},
        color);
  }
}

// A disabled button's image: grey, lighter, alpha kept.
Image Greyed(const Image& image) {
  Image grey(image.Width(), image.Height());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      Rgba p = image.At(x, y);
      auto level = static_cast<uint8_t>(std::min(255, (p.r * 3 + p.g * 6 + p.b) / 10 / 2 + 128));
      grey.Set(x, y, Rgba{level, level, level, static_cast<uint8_t>(p.a / 2)});
    }
  }
  return grey;
}

// The caption right of a check box's or radio button's mark, with the focus frame around it.
void PaintChoiceCaption(Canvas& canvas, const Control& control, const Rect& r) {
  const std::string caption = WithoutMnemonic(control.Caption());
  Rect text{r.left + 17, r.top, r.right, r.bottom};
  canvas.DrawTextBlock(text, caption, control.Font(), TextColor(control), OneLine(HorzAlign::Left));
  if (control.Focused())
    FocusFrame(canvas,
               Rect{text.left - 1, r.top,
                    std::min(r.right, text.left + canvas.TextWidth(control.Font(), caption) + 2),
                    r.bottom});
}

// One tab of a tab strip, open at the bottom: highlight on the left and top with a cut corner,
// shadow and dark shadow on the right.
void TabShape(Canvas& canvas, const Rect& r) {
  canvas.FillRect(r, colors::kButtonFace);
  canvas.FillRect(Rect{r.left, r.top + 2, r.left + 1, r.bottom}, colors::kButtonHighlight);
  canvas.FillRect(Rect{r.left + 1, r.top + 1, r.left + 2, r.top + 2}, colors::kButtonHighlight);
  canvas.FillRect(Rect{r.left + 2, r.top, r.right - 2, r.top + 1}, colors::kButtonHighlight);
  canvas.FillRect(Rect{r.right - 2, r.top + 1, r.right - 1, r.top + 2}, colors::kButtonDarkShadow);
  canvas.FillRect(Rect{r.right - 2, r.top + 2, r.right - 1, r.bottom}, colors::kButtonShadow);
  canvas.FillRect(Rect{r.right - 1, r.top + 2, r.right, r.bottom}, colors::kButtonDarkShadow);
}

}  // namespace

ScrollBarParts LayOutScrollBar(const Rect& track, const ScrollBarState& bar, bool vertical) {
  const int length = vertical ? track.Height() : track.Width();
  const int thickness = vertical ? track.Width() : track.Height();
  const int arrows = std::min(thickness, length / 2);
  const int room = length - 2 * arrows;
  const int64_t span = static_cast<int64_t>(bar.max) - bar.min + 1;
  int thumb = bar.page > 0 && span > 0
                  ? static_cast<int>(std::max<int64_t>(8, room * bar.page / span))
                  : std::min(room, thickness);
  thumb = std::min(thumb, room);
  const int64_t range = static_cast<int64_t>(CustomControl::MaxPosition(bar)) - bar.min;
  const int offset = range > 0
                         ? static_cast<int>((room - thumb) *
                                            (static_cast<int64_t>(bar.position) - bar.min) / range)
                         : 0;
  auto part = [&](int from, int size) {
    return vertical ? Rect{track.left, track.top + from, track.right, track.top + from + size}
                    : Rect{track.left + from, track.top, track.left + from + size, track.bottom};
  };
  return ScrollBarParts{part(0, arrows), part(length - arrows, arrows),
                        part(arrows + offset, thumb)};
}

void PaintScrollBar(Canvas& canvas, const Rect& track, const ScrollBarState& bar, bool vertical) {
  canvas.FillRect(track, Color{225, 225, 225});
  const ScrollBarParts parts = LayOutScrollBar(track, bar, vertical);
  for (const Rect& r : {parts.lowArrow, parts.highArrow, parts.thumb}) {
    canvas.FillRect(r, colors::kButtonFace);
    canvas.FrameRect(r, colors::kButtonShadow);
  }
}

void Panel::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  canvas.FillRect(r, BackColor());
  if (bevel_ != Bevel::None) Bevel3D(canvas, r, bevel_ == Bevel::Raised);
  if (!Caption().empty()) {
    canvas.DrawTextBlock(r.Inflate(-2), Caption(), Font(), TextColor(*this),
                         OneLine(ToHorz(alignment_)));
  }
}

void Label::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  if (!transparent_) canvas.FillRect(r, BackColor());
  // Broken into lines at blanks, as the native static control shows a left-aligned text.
  TextFormat format;
  format.horz = ToHorz(alignment_);
  format.vert = VertAlign::Top;
  format.wordBreak = true;
  canvas.DrawTextBlock(r, WithoutMnemonic(Caption()), Font(), TextColor(*this), format);
}

void Edit::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  SunkenField(canvas, r, EffectivelyEnabled() && !readOnly_ ? BackColor() : colors::kButtonFace);
  std::string shown = passwordChar_ != 0 ? std::string(Text().size(), passwordChar_) : Text();
  Rect textArea{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2};
  if (Focused() && selLength_ > 0) {
    int from =
        canvas.TextWidth(Font(), std::string_view(shown).substr(0, static_cast<size_t>(selStart_)));
    int to = canvas.TextWidth(
        Font(), std::string_view(shown).substr(0, static_cast<size_t>(selStart_ + selLength_)));
    canvas.FillRect(Rect{textArea.left + from, textArea.top, textArea.left + to, textArea.bottom},
                    colors::kHighlight);
  }
  canvas.DrawTextBlock(textArea, shown, Font(), TextColor(*this), OneLine(HorzAlign::Left));
  if (Focused()) {
    int caret =
        canvas.TextWidth(Font(), std::string_view(shown).substr(0, static_cast<size_t>(selStart_)));
    int height = canvas.FontMetrics(Font()).height;
    int top = textArea.top + std::max(0, (textArea.Height() - height) / 2);
    canvas.FillRect(Rect{textArea.left + caret, top, textArea.left + caret + 1, top + height},
                    colors::kWindowText);
  }
}

void CheckBox::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  canvas.FillRect(r, BackColor());
  int top = r.top + std::max(0, (r.Height() - 13) / 2);
  Rect box{r.left, top, r.left + 13, top + 13};
  SunkenField(canvas, box, EffectivelyEnabled() ? colors::kWhite : colors::kButtonFace);
  if (checked_) {
    Pen mark{TextColor(*this), 2, PenStyle::Solid};
    Point tick[3] = {
        {box.left + 3, box.top + 6}, {box.left + 5, box.top + 9}, {box.left + 10, box.top + 3}};
    canvas.Polyline(tick, mark);
  }
  PaintChoiceCaption(canvas, *this, r);
}

void RadioButton::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  canvas.FillRect(r, BackColor());
  constexpr int kDiameter = 12;
  const int top = r.top + std::max(0, (r.Height() - kDiameter) / 2);
  // A sunken ring: shadow over the upper left, highlight over the lower right, then the field.
  FillDisc(canvas, Point{r.left + 1, top + 1}, kDiameter, colors::kButtonHighlight);
  FillDisc(canvas, Point{r.left, top}, kDiameter, colors::kButtonShadow);
  FillDisc(canvas, Point{r.left + 1, top + 1}, kDiameter - 2,
           EffectivelyEnabled() ? colors::kWhite : colors::kButtonFace);
  if (checked_) FillDisc(canvas, Point{r.left + 4, top + 4}, kDiameter - 8, TextColor(*this));
  PaintChoiceCaption(canvas, *this, r);
}

void Button::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  canvas.FillRect(r, colors::kButtonFace);
  if (default_ || Focused()) {
    canvas.FrameRect(r, colors::kWindowText);
    r = r.Inflate(-1);
  }
  Bevel3D(canvas, r, true);
  if (!glyph_.IsEmpty()) {
    const Point at{r.left + (r.Width() - glyph_.Width()) / 2,
                   r.top + (r.Height() - glyph_.Height()) / 2};
    canvas.DrawImage(EffectivelyEnabled() ? glyph_ : Greyed(glyph_), at);
  } else {
    canvas.DrawTextBlock(r, WithoutMnemonic(Caption()), Font(), TextColor(*this),
                         OneLine(HorzAlign::Center));
  }
  if (Focused()) FocusFrame(canvas, r.Inflate(-3));
}

void Form::Paint(Canvas& canvas) { canvas.FillRect(ClientRect(), BackColor()); }

void ComboBox::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  SunkenField(canvas, r, EffectivelyEnabled() ? BackColor() : colors::kButtonFace);
  int buttonWidth = std::min(17, std::max(0, r.Width() - 4));
  Rect button{r.right - 2 - buttonWidth, r.top + 2, r.right - 2, r.bottom - 2};
  canvas.FillRect(button, colors::kButtonFace);
  Bevel3D(canvas, button, !droppedDown_);
  int cx = (button.left + button.right) / 2;
  int cy = (button.top + button.bottom) / 2;
  Point arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
  canvas.FillPolygon(arrow, TextColor(*this));
  Rect text{r.left + 3, r.top + 2, button.left - 1, r.bottom - 2};
  if (Focused() && style_ == ComboStyle::DropDownList) canvas.FillRect(text, colors::kHighlight);
  Color ink = Focused() && style_ == ComboStyle::DropDownList ? colors::kWhite : TextColor(*this);
  canvas.DrawTextBlock(text, Text(), Font(), ink, OneLine(HorzAlign::Left));
}

void TabControl::Paint(Canvas& canvas) {
  const Rect r = ClientRect();
  canvas.FillRect(r, BackColor());
  // The page frame below the strip: raised, two pixels on the right and at the bottom.
  const Rect frame{r.left, r.top + kTabHeight, r.right, r.bottom};
  if (!frame.IsEmpty()) {
    canvas.FillRect(Rect{frame.left, frame.top, frame.right, frame.top + 1},
                    colors::kButtonHighlight);
    canvas.FillRect(Rect{frame.left, frame.top, frame.left + 1, frame.bottom},
                    colors::kButtonHighlight);
    canvas.FillRect(Rect{frame.right - 2, frame.top + 1, frame.right - 1, frame.bottom - 1},
                    colors::kButtonShadow);
    canvas.FillRect(Rect{frame.left + 1, frame.bottom - 2, frame.right - 1, frame.bottom - 1},
                    colors::kButtonShadow);
    canvas.FillRect(Rect{frame.right - 1, frame.top, frame.right, frame.bottom},
                    colors::kButtonDarkShadow);
    canvas.FillRect(Rect{frame.left, frame.bottom - 1, frame.right, frame.bottom},
                    colors::kButtonDarkShadow);
  }
  // The tabs behind first, then the current one over them and over the frame's top line, so
  // that it joins the page.
  auto caption = [&](int index, const Rect& tab) {
    canvas.DrawTextBlock(Rect{tab.left + 2, tab.top + 2, tab.right - 2, kTabHeight},
                         WithoutMnemonic(TabCaption(index)), Font(), TextColor(*this),
                         OneLine(HorzAlign::Center));
  };
  for (int i = 0; i < Count(); ++i) {
    if (i == TabIndex()) continue;
    TabShape(canvas, TabRect(i));
    caption(i, TabRect(i));
  }
  const Rect current = TabRect(TabIndex());
  if (current.IsEmpty()) return;
  TabShape(canvas, current);
  canvas.FillRect(Rect{current.left + 1, kTabHeight, current.right - 2, kTabHeight + 1},
                  colors::kButtonFace);
  caption(TabIndex(), current);
  if (Focused())
    FocusFrame(canvas, Rect{current.left + 3, current.top + 3, current.right - 3, kTabHeight - 1});
}

void ListBox::Paint(Canvas& canvas) {
  const Rect r = ClientRect();
  SunkenField(canvas, r, EffectivelyEnabled() ? BackColor() : colors::kButtonFace);
  for (int index = TopIndex(); index < Count(); ++index) {
    const Rect row = ItemRect(index);
    if (row.IsEmpty()) break;
    const bool chosen = index == ItemIndex();
    if (chosen) canvas.FillRect(row, EffectivelyEnabled() ? colors::kHighlight : colors::kGrayText);
    ClipScope clip(canvas, row);
    canvas.DrawTextBlock(Rect{row.left + 2, row.top, row.right - 2, row.bottom},
                         Items()[static_cast<size_t>(index)], Font(),
                         chosen ? colors::kWhite : TextColor(*this), OneLine(HorzAlign::Left));
  }
  // The focus frame sits on the chosen row, or on the first row shown while none is chosen.
  if (Focused()) {
    const Rect row = ItemRect(ItemIndex() >= 0 ? ItemIndex() : TopIndex());
    if (!row.IsEmpty()) FocusFrame(canvas, row);
  }
  if (HasScrollBar()) PaintScrollBar(canvas, ScrollBarTrack(), ScrollBar(), true);
}

void ToolBar::Paint(Canvas& canvas) {
  Rect r = ClientRect();
  canvas.FillRect(r, BackColor());
  for (const auto& button : buttons_) {
    if (!button->Visible()) continue;
    const Rect& b = button->Bounds();
    if (button->Style() == ToolButtonStyle::Separator) {
      int x = (b.left + b.right) / 2 - 1;
      canvas.FillRect(Rect{x, b.top + 1, x + 1, b.bottom - 1}, colors::kButtonShadow);
      canvas.FillRect(Rect{x + 1, b.top + 1, x + 2, b.bottom - 1}, colors::kButtonHighlight);
      continue;
    }
    bool pressed = pressed_ == button.get() && pressedInside_;
    bool down = button->Down() || pressed;
    if (button->Down() && !pressed) canvas.FillRect(b.Inflate(-1), colors::kHotTrack);
    if (down) Bevel3D(canvas, b, false);
    int index = button->ImageIndex();
    int shift = down ? 1 : 0;
    if (index >= 0 && index < static_cast<int>(images_.size())) {
      const Image& image = images_[static_cast<size_t>(index)];
      Point at{b.left + (b.Width() - image.Width()) / 2 + shift,
               b.top + (b.Height() - image.Height()) / 2 + shift};
      canvas.DrawImage(button->Enabled() ? image : Greyed(image), at);
    } else if (!button->Caption().empty()) {
      canvas.DrawTextBlock(b.Offset(shift, shift), button->Caption(), Font(),
                           button->Enabled() ? colors::kWindowText : colors::kGrayText,
                           OneLine(HorzAlign::Center));
    }
  }
}

void ControlBar::Paint(Canvas& canvas) { canvas.FillRect(ClientRect(), BackColor()); }

}  // namespace ui
