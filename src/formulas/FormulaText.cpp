// Text regeneration: the postfix stream back to formula text.
#include <algorithm>

#include "formulas/FunctionTable.h"
#include "formulas/TSSFormulasCache.h"
#include "formulas/TSSFunctionHandler.h"
#include "formulas/Values.h"
#include "workbook/CellReference.h"

namespace formulas {
namespace {

workbook::CellReference ToCell(bool colAbs, bool rowAbs, int32_t col, int32_t row) {
  workbook::CellReference c;
  c.rowAbsolute = rowAbs;
  c.colAbsolute = colAbs;
  c.row = row;
  c.col = col;
  return c;
}

}  // namespace

std::string TSSFunctionHandler::ReferenceText(const RefToken& ref, int32_t ownCol,
                                              int32_t ownRow) const {
  const auto notation = cache_.R1C1() ? workbook::RefNotation::R1C1 : workbook::RefNotation::A1;
  return workbook::CellReferenceText(ToCell(ref.colAbs, ref.rowAbs, ref.col, ref.row),
                                     workbook::TPoint{ownCol, ownRow}, notation);
}

std::string TSSFunctionHandler::FormulaToText(const FormulaEntry& entry) {
  return FormulaToText(entry.Tokens, entry.Sheet, entry.Col, entry.Row);
}

std::string TSSFunctionHandler::FormulaToText(const TokenBlock& tokens, uint16_t sheet, int32_t col,
                                              int32_t row) {
  BuildSeparatorSet();
  (void)sheet;
  fragments_.clear();
  auto& f = fragments_;
  const auto bytes = tokens.Bytes();
  size_t pos = 0;
  bool broken = false;
  bool captionsLoaded = false;
  auto sheetCaption = [&](uint16_t index) -> std::string {
    // The captions are read at the first sheet reference only: most formulas have none.
    if (!captionsLoaded) LoadSheetCaptions();
    captionsLoaded = true;
    return index < sheets_.size() ? sheets_[index] : std::string("#REF!");
  };
  while (pos < bytes.size()) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) {
      broken = true;
      break;
    }
    const uint8_t* p = bytes.data() + pos;
    const uint8_t kind = p[0];
    switch (kind) {
      case ptgStr: {
        std::string text = "\"";
        for (char c : ReadStringToken(p)) {
          text += c;
          if (c == '"') text += '"';
        }
        f.push_back(text + "\"");
        break;
      }
      case ptgBool:
        f.emplace_back(BooleanText(ReadBoolToken(p)));
        break;
      case ptgNum:
        f.push_back(NumberText(ReadNumberToken(p)));
        break;
      case ptgName: {
        const uint16_t index = ReadNameIndex(p);
        const auto& names = cache_.Names();
        f.push_back(index < names.size() ? names[index].Name : std::string("#REF!"));
        break;
      }
      case ptgRef:
        f.push_back(ReferenceText(ReadRefToken(p), col, row));
        break;
      case ptgRef3d:
        f.push_back(sheetCaption(ReadSheetOf3d(p)) + "!" + ReferenceText(ReadRefToken(p), 0, 0));
        break;
      case ptgArea:
      case ptgArea3d: {
        const AreaToken a = ReadAreaToken(p);
        const bool is3d = kind == ptgArea3d;
        const int32_t r = is3d ? 0 : row, c = is3d ? 0 : col;
        std::string text = is3d ? sheetCaption(ReadSheetOf3d(p)) + "!" : std::string();
        text += ReferenceText(RefToken{a.row1Abs, a.col1Abs, a.row1, a.col1}, c, r) + ":" +
                ReferenceText(RefToken{a.row2Abs, a.col2Abs, a.row2, a.col2}, c, r);
        f.push_back(text);
        break;
      }
      case ptgPercent:
      case ptgUminus:
      case ptgUplus:
      case ptgParen:
        if (f.empty()) {
          f.emplace_back(kMsgMissingTokens);
        } else if (kind == ptgPercent) {
          f.back() += "%";
        } else if (kind == ptgUminus) {
          f.back() = "-" + f.back();
        } else if (kind == ptgParen) {
          f.back() = "(" + f.back() + ")";
        }
        break;
      case ptgFuncVar: {
        const size_t k = std::min<size_t>(p[1], f.size());
        const TFuncDefinition* def = FindFunctionByNumber(ReadU16(p + 2));
        std::string joined;
        for (size_t i = f.size() - k; i < f.size(); ++i) {
          if (i > f.size() - k) joined += listSeparator_;
          joined += f[i];
        }
        f.resize(f.size() - k);
        f.push_back(std::string(def ? def->Name : std::string_view("#NAME!")) + "(" + joined + ")");
        break;
      }
      default:
        if (kind >= ptgAdd && kind <= ptgRange) {
          if (f.size() < 2) {
            if (!f.empty()) f.pop_back();
            f.emplace_back(kMsgMissingTokens);
          } else {
            std::string right = std::move(f.back());
            f.pop_back();
            f.back() += std::string(OperatorText(kind)) + right;
          }
        }
        // Other kinds (stored error results, unknown bytes) add no text.
        break;
    }
    pos += size;
  }
  if (broken || f.size() != 1) {
    Report(kMsgConstructing);
    f.clear();
    return {};
  }
  std::string text = "=" + f.back();
  f.clear();
  return text;
}

bool TSSFunctionHandler::TextCanBeBuilt(const TokenBlock& tokens) {
  // Counts the fragments FormulaToText would hold, token by token, with its rules.
  const auto bytes = tokens.Bytes();
  size_t fragments = 0;
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) return false;
    const uint8_t kind = bytes[pos];
    switch (kind) {
      case ptgStr:
      case ptgBool:
      case ptgNum:
      case ptgName:
      case ptgRef:
      case ptgRef3d:
      case ptgArea:
      case ptgArea3d:
        ++fragments;
        break;
      case ptgPercent:
      case ptgUminus:
      case ptgUplus:
      case ptgParen:
        if (fragments == 0) fragments = 1;  // the missing-operand message
        break;
      case ptgFuncVar:
        fragments = fragments - std::min<size_t>(bytes[pos + 1], fragments) + 1;
        break;
      default:
        if (kind >= ptgAdd && kind <= ptgRange) fragments = fragments < 2 ? 1 : fragments - 1;
        break;
    }
    pos += size;
  }
  return fragments == 1;
}

}  // namespace formulas
