#pragma once
// The Format Cells dialog's drawings from its model: the border preview (fill, sample cells
// with "Text", every edge with its line style and colour), the pattern sample and the font
// sample. Panel coordinates, starting at the canvas origin.
#include "ui/Canvas.h"

namespace dialogs {

class FormatCellsModel;

void PaintBorderPreview(ui::Canvas& canvas, const FormatCellsModel& model);
void PaintPatternSample(ui::Canvas& canvas, ui::Size size, const FormatCellsModel& model);
void PaintFontSample(ui::Canvas& canvas, ui::Size size, const FormatCellsModel& model);

// A palette index as the dialog shows it: palette colours, `automatic` for 56 and above.
ui::Color PaletteColor(const FormatCellsModel& model, int index, ui::Color automatic);

}  // namespace dialogs
