#include "xls/book/BookDump.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/CodePage.h"
#include "workbook/CellReference.h"
#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "xls/book/BookNames.h"

namespace xls {

using workbook::TSSBookSheet;

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string RangeText(const workbook::TRect& r) {
  std::string text = workbook::PointToCellName({r.Left, r.Top});
  if (r.Right != r.Left || r.Bottom != r.Top)
    text += ":" + workbook::PointToCellName({r.Right, r.Bottom});
  return text;
}

std::string TypedJson(const char* type, const std::string& value) {
  return std::string("{\"type\":\"") + type + "\",\"value\":" + value + "}";
}

// The value a formula result or a typed text stands for, as the engine reads it.
std::string ValueJson(const workbook::FormulaValue& v) {
  using Kind = workbook::FormulaValue::Kind;
  switch (v.kind) {
    case Kind::Number:
      return TypedJson("number", JsonNumber(v.number));
    case Kind::Boolean:
      return TypedJson("boolean", v.number != 0 ? "true" : "false");
    case Kind::Error:
      return TypedJson("error", JsonString(v.text));
    case Kind::Text:
      return TypedJson("text", JsonString(v.text));
    case Kind::None:
      break;
  }
  return TypedJson("blank", "null");
}

// The kind and exact value of what a cell holds: a number cell its number; a formula the
// engine's result (never read back from its display text); a literal text its text; a typed
// text what the engine takes it for (a number text its number, the boolean words and error
// literals their values: the model keeps a boolean or error cell as that text).
std::string ResultJson(workbook::TSSDataStorage& storage, int32_t col, int32_t row) {
  using Kind = workbook::FormulaValue::Kind;
  const workbook::CellContentType type = storage.CellDataType(col, row);
  workbook::FormulaValue v;
  if (type == workbook::kCellNumber) {
    v.kind = Kind::Number;
    v.number = storage.CellNumber(col, row);
  } else if (type == workbook::kCellFormula) {
    workbook::FormulaEngine* engine = storage.Host().FormulaCache();
    workbook::FormulaHandle* entry = storage.CellFormula(col, row);
    if (engine && entry) v = engine->FormulaResult(entry);
    if (v.kind == Kind::None) {
      v.kind = Kind::Text;  // no engine: the formula stays its text
      v.text = storage.CellRec(col, row).Text;
    }
  } else {
    v.kind = Kind::Text;
    v.text = storage.CellRec(col, row).Text;
    double d = 0;
    bool b = false;
    uint8_t code = 0;
    if (type == workbook::kCellLiteralText) {
      // a text, whatever it reads as
    } else if (workbook::TextToNumber(v.text, d)) {
      v.kind = Kind::Number;
      v.number = d;
    } else if (workbook::TextToBoolean(v.text, b)) {
      v.kind = Kind::Boolean;
      v.number = b ? 1 : 0;
    } else if (workbook::TextToErrorCode(v.text, code)) {
      v.kind = Kind::Error;
    }
  }
  return ValueJson(v);
}

// The cell's font in the file's terms: height in twips, colour as the file's colour index
// (palette index + 8; 0x7FFF automatic).
std::string FontJson(const workbook::TSSFontRec& f) {
  auto flag = [](bool on) { return on ? "true" : "false"; };
  const int colour = f.Color < workbook::kPaletteSize ? f.Color + 8 : 0x7FFF;
  return "{\"name\":" + JsonString(f.Name) + ",\"height\":" + std::to_string(f.Size * 20) +
         ",\"bold\":" + flag(f.Style & workbook::kFontBold) +
         ",\"italic\":" + flag(f.Style & workbook::kFontItalic) +
         ",\"underline\":" + flag(f.Style & workbook::kFontUnderline) +
         ",\"colorIndex\":" + std::to_string(colour) + "}";
}

template <typename Fn>
void ForEachCell(TSSBookSheet& sheet, Fn fn) {
  workbook::TSSDataStorage& storage = sheet.Storage();
  // Row by row, as a reader of the dump expects; within a row by column.
  const int32_t cols = storage.UsedCols();
  const int32_t rows = storage.UsedRows();
  for (int32_t row = 0; row < rows; ++row)
    for (int32_t col = 0; col < cols; ++col)
      if (storage.HasRecord(col, row)) fn(col, row);
}

bool IsEmptyCell(TSSBookSheet& sheet, int32_t col, int32_t row) {
  const workbook::TSSCellRec rec = sheet.Storage().CellRec(col, row);
  return workbook::IsTextType(rec.DataType) && rec.Text.empty();
}

const char* KindOf(workbook::CellContentType type) {
  return type == workbook::kCellFormula  ? "formula"
         : type == workbook::kCellNumber ? "number"
                                         : "text";
}

}  // namespace

std::string JsonString(const std::string& systemText) {
  const std::u16string wide = platform::AnsiToUtf16(systemText);
  std::string out = "\"";
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t cp = wide[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
    switch (cp) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (cp < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
          out += buf;
        } else {
          AppendUtf8(out, cp);
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  // The shortest text that reads back as exactly this double, from the C++ library's own
  // digit generator: the C runtimes' printf differ between the builds, and the dump is
  // compared across them.
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string DumpJson(workbook::TCustomSpreadSheetBook& book) {
  std::string out = "{\"sheets\":[";
  for (int s = 0; s < book.PageCount(); ++s) {
    TSSBookSheet& sheet = book.Sheets(s);
    if (s) out += ",";
    out += "{\"name\":" + JsonString(sheet.Caption()) +
           ",\"visible\":" + (book.PageVisible(s) ? "true" : "false");
    out += ",\"cells\":[";
    bool first = true;
    ForEachCell(sheet, [&](int32_t col, int32_t row) {
      if (IsEmptyCell(sheet, col, row)) return;
      const workbook::TSSCellRec rec = sheet.Storage().CellRec(col, row);
      std::unique_ptr<workbook::TSSCellObject> cell = sheet.CellObject(col, row);
      if (!first) out += ",";
      first = false;
      out += "{\"ref\":\"" + workbook::PointToCellName({col, row}) +
             "\",\"col\":" + std::to_string(col) + ",\"row\":" + std::to_string(row) +
             ",\"kind\":\"" + KindOf(rec.DataType) + "\",\"edit\":" + JsonString(cell->EditText()) +
             ",\"display\":" + JsonString(cell->DisplayText()) +
             ",\"result\":" + ResultJson(sheet.Storage(), col, row) +
             ",\"font\":" + FontJson(cell->Style().Font().Rec()) + "}";
    });
    out += "],\"merged\":[";
    const auto areas = sheet.Storage().MergedCells().AllAreas();
    for (size_t i = 0; i < areas.size(); ++i)
      out += (i ? ",\"" : "\"") + RangeText(areas[i]) + "\"";
    out += "]";
    auto sizes = [&](workbook::TSSHeader& h, const char* sizeKey, const char* hiddenKey) {
      std::string sizesText, hiddenText;
      for (int32_t i = 0; i < h.Count(); ++i) {
        if (!h.IsVisible(i)) hiddenText += (hiddenText.empty() ? "" : ",") + std::to_string(i);
        if (h.Size(i) != h.DefaultSize() && h.IsVisible(i))
          sizesText += (sizesText.empty() ? "\"" : ",\"") + std::to_string(i) +
                       "\":" + std::to_string(h.Size(i));
      }
      out += std::string(",\"") + sizeKey + "\":{" + sizesText + "}";
      out += std::string(",\"") + hiddenKey + "\":[" + hiddenText + "]";
    };
    sizes(sheet.ColumnHeader(), "colWidths", "hiddenCols");
    sizes(sheet.RowHeader(), "rowHeights", "hiddenRows");
    out += "}";
  }
  out += "],\"names\":[";
  {
    bool first = true;
    for (const workbook::DefinedNameRecord& n : BookNames(book)) {
      if (n.Deleted) continue;
      std::string ref = RangeText(n.Rect);
      if (n.Sheet < book.PageCount())
        ref = workbook::SheetPrefix(book.Sheets(n.Sheet).Caption()) + ref;
      out += std::string(first ? "" : ",") + "{\"name\":" + JsonString(n.Name) +
             ",\"ref\":" + JsonString(ref) + "}";
      first = false;
    }
  }
  return out + "]}\n";
}

std::string DumpText(workbook::TCustomSpreadSheetBook& book) {
  std::string out;
  for (int s = 0; s < book.PageCount(); ++s) {
    TSSBookSheet& sheet = book.Sheets(s);
    out += "Sheet " + sheet.Caption() + (book.PageVisible(s) ? "" : " (hidden)") + "\n";
    ForEachCell(sheet, [&](int32_t col, int32_t row) {
      if (IsEmptyCell(sheet, col, row)) return;
      std::unique_ptr<workbook::TSSCellObject> cell = sheet.CellObject(col, row);
      out += "  " + workbook::PointToCellName({col, row}) + "\t" + cell->EditText();
      const std::string display = cell->DisplayText();
      if (display != cell->EditText()) out += "\t= " + display;
      out += "\n";
    });
    for (const workbook::TRect& a : sheet.Storage().MergedCells().AllAreas())
      out += "  merged " + RangeText(a) + "\n";
  }
  return out;
}

}  // namespace xls
