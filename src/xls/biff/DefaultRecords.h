#pragma once
// The fixed records every workbook this system writes begins with: the window settings, the
// four default fonts, the two custom date formats, the 17 default XFs and the six built-in
// styles. The book writer starts its globals from these.
#include <array>
#include <vector>

#include "xls/biff/RecordWriter.h"
#include "xls/biff/StyleRecords.h"

namespace xls::defaults {

// WINDOW1: window position and size, options, active sheet 0, first visible tab 0, one
// selected tab, tab bar width 600/1000.
RecordBuilder Window1();
// Arial 10 pt, automatic colour; written four times (font indexes 0 to 3).
FontRecord Font();
// Formats 164 "dd/mm/yy" and 165 "dd\.mmmm\.yy".
std::vector<FormatRecord> Formats();
// XF 0 to 14 style XFs, 15 the default cell XF, 16 a style XF for a built-in style.
const std::array<XfRecord, 17>& Xfs();
// STYLE records of the built-in styles (Comma, Currency, Percent, ... Normal).
std::vector<RecordBuilder> Styles();

}  // namespace xls::defaults
