#pragma once
// The one way a logical font description becomes a GDI font: the font metrics measure with it
// and the canvas paints with it, so text is exactly as wide on screen as it was measured.
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/FontMetrics.h"

namespace platform::win32 {

// The caller owns the font (DeleteObject); null when the system cannot make it.
inline HFONT CreateFontFor(const FontDescription& desc) {
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
  return CreateFontIndirectA(&lf);
}

}  // namespace platform::win32
