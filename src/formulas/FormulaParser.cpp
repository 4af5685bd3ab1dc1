// The front end of TSSFunctionHandler: text preparation, the tokenizer, operand
// classification and reference reading.
#include <algorithm>
#include <stdexcept>

#include "formulas/FunctionTable.h"
#include "formulas/TSSFormulasCache.h"
#include "formulas/TSSFunctionHandler.h"
#include "formulas/TSpreadSheetExpressionParser.h"
#include "formulas/Values.h"
#include "platform/CodePage.h"
#include "platform/Locale.h"
#include "workbook/CellReference.h"

namespace formulas {
namespace {

// Operator texts of kinds 3..20; index 13 (ptgUnion) is replaced by the list separator.
constexpr std::string_view kOperatorTexts[18] = {"+",  "-", "*",  "/", "^", "&", "<", "<=", "=",
                                                 ">=", ">", "<>", " ", ",", ":", "",  "-",  "%"};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         platform::AnsiSameText(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string_view TSSFunctionHandler::OperatorText(uint8_t kind) const {
  if (kind == ptgUnion) return std::string_view(&listSeparator_, 1);
  if (kind < ptgAdd || kind > ptgPercent) return {};
  return kOperatorTexts[kind - ptgAdd];
}

void TSSFunctionHandler::BuildSeparatorSet() {
  const platform::LocaleSettings& current = platform::Locale::Current();
  // The argument separator must differ from the decimal separator; the process-wide settings
  // are changed so that every later text agrees.
  if (current.listSeparator == current.decimalSeparator) {
    platform::LocaleSettings settings = current;
    if (settings.decimalSeparator == ';')
      settings.decimalSeparator = '.';
    else
      settings.listSeparator = ';';
    platform::Locale::SetCurrent(settings);
  }
  // The set depends on the list separator alone: most calls find it made already.
  if (!separatorSet_.empty() && listSeparator_ == platform::Locale::Current().listSeparator) return;
  listSeparator_ = platform::Locale::Current().listSeparator;
  separatorSet_ = "+-*/^<=>&%\"() ";
  separatorSet_ += listSeparator_;
  std::sort(separatorSet_.begin(), separatorSet_.end());
}

void TSSFunctionHandler::LoadSheetCaptions() {
  sheets_.clear();
  for (const TSSSheetDef& def : cache_.SheetDefs()) sheets_.push_back(def.Caption);
}

bool TSSFunctionHandler::IsSeparator(char c) const {
  for (char s : separatorSet_) {
    if (s == c) return true;
    if (s > c) return false;  // sorted: no later entry can match
  }
  return false;
}

bool TSSFunctionHandler::PrepareText(std::string_view text, std::string& clean) {
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '=')) ++start;
  size_t end = text.size();
  while (end > start && text[end - 1] == ' ') --end;
  clean.assign(text.substr(start, end - start));
  int depth = 0;
  bool unterminated = false;
  for (size_t i = 0; i < clean.size(); ++i) {
    const char c = clean[i];
    if (c == '"') {
      const size_t close = clean.find('"', i + 1);
      if (close == std::string::npos) {
        unterminated = true;
        break;
      }
      i = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    }
  }
  if (depth != 0) {
    Report(kMsgParenExpected);
    return false;
  }
  if (unterminated) {
    Report(kMsgUnterminatedString);
    return false;
  }
  return true;
}

TokenBlock TSSFunctionHandler::ParseText(std::string_view clean) {
  TSpreadSheetExpressionParser parser(*this);
  int32_t argCount = 0;
  TokenBlock block;
  parser.Convert(clean, argCount, block);
  return block;
}

void TSSFunctionHandler::ReadStringLiteral(std::string& text, std::string& value) {
  value.clear();
  size_t i = 1;
  while (i < text.size()) {
    if (text[i] != '"') {
      value += text[i++];
      continue;
    }
    size_t run = 0;
    while (i + run < text.size() && text[i + run] == '"') ++run;
    value.append(run / 2, '"');
    i += run;
    if (run % 2 == 1) {
      text.erase(0, i);
      return;
    }
  }
  text.clear();  // unterminated: PrepareText has refused such texts already
}

size_t TSSFunctionHandler::MatchNamePrefix(std::string_view text, size_t& nameIndex) const {
  size_t best = 0;
  const auto& names = cache_.Names();
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i].Name;
    if (names[i].Deleted || name.empty() || name.size() <= best) continue;
    if (StartsWithNoCase(text, name)) {
      best = name.size();
      nameIndex = i;
    }
  }
  return best;
}

size_t TSSFunctionHandler::MatchSheetPrefix(std::string_view text, size_t& sheetIndex) const {
  size_t best = 0;
  for (size_t i = 0; i < sheets_.size(); ++i) {
    const std::string& caption = sheets_[i];
    if (caption.empty() || caption.size() <= best) continue;
    if (StartsWithNoCase(text, caption) && text.size() > caption.size() &&
        text[caption.size()] == '!') {
      best = caption.size();
      sheetIndex = i;
    }
  }
  return best;
}

uint8_t TSSFunctionHandler::NextToken(std::string& text, std::string& inner, TokenBlock& token) {
  inner.clear();
  token.Clear();
  size_t p = 0;  // 0-based scan position
  // A defined name is a token of its own when it stands alone: the next character ends an
  // operand. (A name that is only the beginning of a longer word, such as "A" in "AB1", is
  // not taken.)
  size_t index = 0;
  size_t nameLength = MatchNamePrefix(text, index);
  if (nameLength > 0) {
    const bool ends = nameLength == text.size() || IsSeparator(text[nameLength]) ||
                      text[nameLength] == '!' || text[nameLength] == ':';
    if (!ends) nameLength = 0;
  }
  if (nameLength > 0) {
    p = nameLength;
  } else {
    size_t sheet = 0;
    p = MatchSheetPrefix(text, sheet);
    while (p < text.size()) {
      const char c = text[p];
      if (c == '\'') {
        // A quoted sheet caption ('My Data'!A1:'My Data'!B2): blanks inside do not end it.
        const size_t close = text.find('\'', p + 1);
        p = close == std::string::npos ? text.size() : close + 1;
        continue;
      }
      if (IsSeparator(c) && !(c == '-' && p > 0 && text[p - 1] == '[')) break;
      ++p;
    }
  }
  if (p >= text.size()) {
    const std::string operand = text;
    text.clear();
    return ClassifyOperand(operand, token);
  }
  const char c = text[p];
  if (p == 0) {
    if (c == '(') {
      // A bracket: cut out its balanced inner text.
      size_t depth = 0, i = 0;
      for (; i < text.size(); ++i) {
        if (text[i] == '"') {
          const size_t close = text.find('"', i + 1);
          i = close == std::string::npos ? text.size() - 1 : close;
        } else if (text[i] == '(') {
          ++depth;
        } else if (text[i] == ')' && --depth == 0) {
          break;
        }
      }
      inner = text.substr(1, (i < text.size() ? i : text.size()) - 1);
      text.erase(0, std::min(i + 1, text.size()));
      token = MakeByteToken(ptgParen);
      return ptgParen;
    }
    if (c == '"') {
      std::string value;
      ReadStringLiteral(text, value);
      token = MakeStringToken(value);
      return ptgStr;
    }
    size_t length = 1;
    if ((c == '<' || c == '>') && text.size() > 1 && (text[1] == '=' || text[1] == '>')) length = 2;
    const std::string op = text.substr(0, length);
    text.erase(0, length);
    return ClassifyOperand(op, token);
  }
  std::string operand = text.substr(0, p);
  if (c == '(') {
    const TFuncDefinition* def = FindFunctionByName(operand);
    // Cut the arguments out in any case, so that the text stays consistent.
    size_t depth = 0, i = p;
    for (; i < text.size(); ++i) {
      if (text[i] == '"') {
        const size_t close = text.find('"', i + 1);
        i = close == std::string::npos ? text.size() - 1 : close;
      } else if (text[i] == '(') {
        ++depth;
      } else if (text[i] == ')' && --depth == 0) {
        break;
      }
    }
    inner = text.substr(p + 1, (i < text.size() ? i : text.size()) - p - 1);
    text.erase(0, std::min(i + 1, text.size()));
    if (def == nullptr) {
      RaiseError(EngineError::Name);
      return 0;
    }
    token = MakeFuncVarToken(0, def->Number);
    return ptgFuncVar;
  }
  if ((c == '+' || c == '-') && (operand.back() == 'E' || operand.back() == 'e') &&
      IsNumberText(std::string_view(operand).substr(0, operand.size() - 1))) {
    size_t q = p + 1;
    while (q < text.size() && text[q] >= '0' && text[q] <= '9') ++q;
    operand = text.substr(0, q);
    p = q;
  }
  text.erase(0, p);
  return ClassifyOperand(operand, token);
}

uint8_t TSSFunctionHandler::ClassifyOperand(std::string_view text, TokenBlock& token) {
  if (text.size() == 1 || text.size() == 2) {
    for (uint8_t kind = ptgAdd; kind <= ptgPercent; ++kind) {
      if (text.size() == 2 && !(kind >= ptgLT && kind <= ptgNE)) continue;
      if (OperatorText(kind) == text) {
        token = MakeByteToken(kind);
        return kind;
      }
    }
  }
  double number = 0;
  if (TextToNumber(text, number)) {
    token = MakeNumberToken(number);
    return ptgNum;
  }
  bool boolean = false;
  if (TextToBoolean(text, boolean)) {
    token = MakeBoolToken(boolean);
    return ptgBool;
  }
  if (ReadReference(platform::AnsiUpperCase(text), token)) return token[0];
  RaiseError(EngineError::Name);
  Report(std::string(kMsgUnknownExpression) + " - " + std::string(text));
  return 0;
}

bool TSSFunctionHandler::ReadCorner(std::string_view text, bool originRelative,
                                    RefToken& ref) const {
  const workbook::TPoint holder =
      originRelative ? workbook::TPoint{0, 0} : workbook::TPoint{currentCol_, currentRow_};
  const auto notation = cache_.R1C1() ? workbook::RefNotation::R1C1 : workbook::RefNotation::A1;
  workbook::CellReference cell;
  if (!workbook::ParseCellReference(text, holder, notation, cell)) return false;
  if (!cell.IsValidFrom(holder)) return false;
  ref = RefToken{cell.rowAbsolute, cell.colAbsolute, cell.row, cell.col};
  return true;
}

bool TSSFunctionHandler::ReadReference(std::string_view r, TokenBlock& token) {
  size_t cut = r.find('!');
  const bool bang = cut != std::string_view::npos;
  if (!bang) cut = r.find(':');
  const std::string_view prefix = cut == std::string_view::npos ? r : r.substr(0, cut);
  const auto& names = cache_.Names();
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].Deleted || !platform::AnsiSameText(names[i].Name, prefix)) continue;
    if (cut != std::string_view::npos) return false;  // a name followed by more text
    token = MakeNameToken(static_cast<uint16_t>(i));
    return true;
  }
  int32_t sheet = -1;
  if (bang) {
    for (size_t i = 0; i < sheets_.size(); ++i)
      if (platform::AnsiSameText(sheets_[i], prefix)) sheet = static_cast<int32_t>(i);
    if (sheet < 0) return false;
    r.remove_prefix(cut + 1);
  }
  const bool origin = sheet >= 0;
  const size_t colon = r.find(':');
  if (colon == std::string_view::npos) {
    RefToken ref;
    if (!ReadCorner(r, origin, ref)) return false;
    token = origin ? MakeRef3dToken(static_cast<uint16_t>(sheet), ref) : MakeRefToken(ref);
    return true;
  }
  std::string_view second = r.substr(colon + 1);
  if (const size_t bang2 = second.find('!'); bang2 != std::string_view::npos) {
    // Sheet1!A1:Sheet1!B2 names the same sheet twice; another sheet is no reference.
    if (!origin || !platform::AnsiSameText(second.substr(0, bang2), sheets_[sheet])) return false;
    second.remove_prefix(bang2 + 1);
  }
  RefToken a, b;
  if (!ReadCorner(r.substr(0, colon), origin, a) || !ReadCorner(second, origin, b)) return false;
  AreaToken area;
  area.row1Abs = a.rowAbs;
  area.col1Abs = a.colAbs;
  area.row1 = a.row;
  area.col1 = a.col;
  area.row2Abs = b.rowAbs;
  area.col2Abs = b.colAbs;
  area.row2 = b.row;
  area.col2 = b.col;
  token = origin ? MakeArea3dToken(static_cast<uint16_t>(sheet), area) : MakeAreaToken(area);
  return true;
}

bool TSSFunctionHandler::ParseInto(std::string_view text, FormulaEntry& entry) {
  if (cache_.ErrorFlag()) return false;
  try {
    ResetFor(&entry, false);
    LoadSheetCaptions();
    entry.Tokens.Clear();
    // No token stream longer than 65535 bytes can come from a longer text; refusing it
    // early also keeps the tokenizer's work bounded.
    if (text.size() > TokenBlock::kMaxLength) {
      Report(kMsgSyntax);
      return false;
    }
    std::string clean;
    if (!PrepareText(text, clean)) return false;
    entry.Tokens = ParseText(clean);
    bool ok = true;
    if (errorCode_ != 0) {
      Report(kMsgSyntax);
      ok = false;
    }
    if (!stack_.Empty()) {
      entry.Tokens.Clear();
      Report(kMsgSyntax);
      ok = false;
    }
    return ok && !cache_.ErrorFlag();
  } catch (const std::exception&) {
    entry.Tokens.Clear();
    entry.Result.Clear();
    Report(kMsgSyntax);
    return false;
  }
}

}  // namespace formulas
