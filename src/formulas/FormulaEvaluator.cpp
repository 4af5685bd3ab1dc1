// The evaluator of TSSFunctionHandler: the walk over a postfix stream, the pops with their
// type conversions, operators, references and the argument iterators of the functions.
#include <algorithm>
#include <cmath>

#include "formulas/FunctionTable.h"
#include "formulas/TSSFormulasCache.h"
#include "formulas/TSSFunctionHandler.h"
#include "formulas/Values.h"
#include "platform/CodePage.h"
#include "platform/PortableMath.h"
#include "workbook/SSUtils.h"

namespace formulas {

namespace {
// Ranges of at most this many cells are read whole instead of being clipped to the used area.
constexpr int64_t kReadWholeRange = 1024;
}  // namespace

TSSFunctionHandler::TSSFunctionHandler(TSSFormulasCache& cache) : cache_(cache) {
  BuildSeparatorSet();
}

TSSFunctionHandler::~TSSFunctionHandler() = default;

void TSSFunctionHandler::SetContext(uint16_t sheet, int32_t col, int32_t row) {
  currentSheet_ = sheet;
  currentRow_ = row;
  currentCol_ = col;
}

void TSSFunctionHandler::ResetFor(FormulaEntry* entry, bool freeOldResult) {
  errorCode_ = 0;
  stack_.Clear();
  if (entry != nullptr && freeOldResult) entry->Result.Clear();
  fragments_.clear();
  BuildSeparatorSet();
  currentEntry_ = entry;
  if (entry != nullptr)
    SetContext(entry->Sheet, entry->Col, entry->Row);
  else
    SetContext(0, 0, 0);
}

void TSSFunctionHandler::Report(std::string_view message) {
  if (holdMessages_)
    heldMessages_.emplace_back(message);
  else
    cache_.Report(message);
}

void TSSFunctionHandler::RaiseError(EngineError code) {
  // The first error wins: a later failure, such as the pop of the placeholder a failed
  // operation left on the stack, does not overwrite it (=1/0+1 is #DIV/0!, not #VALUE!).
  if (errorCode_ == 0) errorCode_ = static_cast<uint8_t>(code);
  notText_ = true;
}

// ---- pushes ------------------------------------------------------------------------------

void TSSFunctionHandler::PushNumber(double value) {
  // The platform's floating-point faults (overflow, the logarithm of a negative number) end
  // as #NUM! instead of a value no later stage could show or read back.
  if (!std::isfinite(value)) {
    RaiseError(EngineError::Num);
    value = 0;
  }
  stack_.Push(MakeNumberToken(value));
  notText_ = true;
  hasResult_ = true;
}

void TSSFunctionHandler::PushBoolean(bool value) {
  stack_.Push(MakeBoolToken(value));
  notText_ = true;
  hasResult_ = true;
}

void TSSFunctionHandler::PushText(std::string_view text) {
  stack_.Push(MakeStringToken(text));
  notText_ = false;
  hasResult_ = true;
}

void TSSFunctionHandler::DuplicateTop(int32_t count) {
  const size_t n = std::min<size_t>(count < 0 ? 0 : static_cast<size_t>(count), stack_.Count());
  const size_t base = stack_.Count() - n;
  for (size_t i = 0; i < n; ++i) stack_.Push(stack_.At(base + i));
}

// ---- references --------------------------------------------------------------------------

bool TSSFunctionHandler::ResolveSingle(const TokenBlock& item, uint16_t& sheet, int32_t& col,
                                       int32_t& row) {
  const uint8_t* p = item.Data();
  const auto bytes = item.Bytes();
  if (TokenSizeAt(bytes, 0) == 0) {
    RaiseError(EngineError::Value);
    return false;
  }
  switch (p[0]) {
    case ptgRef:
    case ptgRef3d: {
      const RefToken ref = ReadRefToken(p);
      const bool is3d = p[0] == ptgRef3d;
      const int64_t r = ref.rowAbs || is3d ? ref.row : int64_t{ref.row} + currentRow_;
      const int64_t c = ref.colAbs || is3d ? ref.col : int64_t{ref.col} + currentCol_;
      sheet = is3d ? ReadSheetOf3d(p) : currentSheet_;
      if (r < 0 || c < 0 || r > INT32_MAX || c > INT32_MAX || sheet >= cache_.Book().SheetCount()) {
        RaiseError(EngineError::Ref);
        return false;
      }
      row = static_cast<int32_t>(r);
      col = static_cast<int32_t>(c);
      return true;
    }
    case ptgName: {
      const uint16_t index = ReadNameIndex(p);
      const auto& names = cache_.Names();
      if (index >= names.size() || names[index].Deleted) {
        RaiseError(EngineError::Ref);
        return false;
      }
      const TSSNameDefinition& name = names[index];
      if (name.Top != name.Bottom || name.Left != name.Right) {
        RaiseError(EngineError::Value);
        return false;
      }
      if (name.Sheet >= cache_.Book().SheetCount() || name.Top < 0 || name.Left < 0) {
        RaiseError(EngineError::Ref);
        return false;
      }
      sheet = name.Sheet;
      row = name.Top;
      col = name.Left;
      return true;
    }
    default:
      RaiseError(EngineError::Value);
      return false;
  }
}

// ---- pops --------------------------------------------------------------------------------

TokenBlock TSSFunctionHandler::PopItem() {
  if (stack_.Empty()) {
    RaiseError(EngineError::Value);
    return {};
  }
  TokenBlock item = stack_.Pop();
  if (item.Empty()) RaiseError(EngineError::Value);
  return item;
}

double TSSFunctionHandler::PopNumber() {
  if (stack_.Empty() || stack_.Top().Empty()) {
    PopItem();  // reports the missing operand
    return 0;
  }
  // The operand is read where it stands (the operands of every formula pass here), and
  // dropped before a cell is read.
  const TokenBlock& item = stack_.Top();
  const uint8_t* p = item.Data();
  switch (item.ValueKind()) {
    case ptgNum: {
      const double value = ReadNumberToken(p);
      stack_.Drop();
      return value;
    }
    case ptgBool: {
      const bool value = ReadBoolToken(p);
      stack_.Drop();
      return value ? 1 : 0;
    }
    case ptgStr: {
      const std::string text = ReadStringToken(p);
      stack_.Drop();
      double value = 0;
      if (TextToNumber(text, value) || TextToDateTime(text, value)) return value;
      RaiseError(EngineError::Value);
      return 0;
    }
    case ptgName:
    case ptgRef:
    case ptgRef3d: {
      uint16_t sheet = 0;
      int32_t row = 0, col = 0;
      const bool pending = errorCode_ != 0;
      const bool resolved = ResolveSingle(item, sheet, col, row);
      stack_.Drop();
      if (!resolved || pending) return 0;
      double value = 0;
      uint8_t error = 0;
      cache_.GetCellNumber(sheet, col, row, value, error);  // a text cell counts as 0
      if (error != 0) RaiseError(static_cast<EngineError>(error));
      return value;
    }
    default:
      stack_.Drop();
      RaiseError(EngineError::Value);
      return 0;
  }
}

bool TSSFunctionHandler::PopBoolean() {
  const TokenBlock item = PopItem();
  if (item.Empty()) return false;
  const uint8_t* p = item.Data();
  switch (item.ValueKind()) {
    case ptgNum:
      return ReadNumberToken(p) != 0;
    case ptgBool:
      return ReadBoolToken(p);
    case ptgStr: {
      bool value = false;
      TextToBoolean(ReadStringToken(p), value);
      return value;
    }
    case ptgName:
    case ptgRef:
    case ptgRef3d: {
      uint16_t sheet = 0;
      int32_t row = 0, col = 0;
      const bool pending = errorCode_ != 0;
      if (!ResolveSingle(item, sheet, col, row) || pending) return false;
      bool value = false;
      uint8_t error = 0;
      cache_.GetCellBoolean(sheet, col, row, value, error);
      if (error != 0) RaiseError(static_cast<EngineError>(error));
      return value;
    }
    default:
      RaiseError(EngineError::Value);
      return false;
  }
}

std::string TSSFunctionHandler::PopText() {
  uint8_t kind = 0;
  return PopText(kind);
}

std::string TSSFunctionHandler::PopText(uint8_t& kind) {
  kind = 0;
  poppedLiteral_ = false;
  const TokenBlock item = PopItem();
  if (item.Empty()) return {};
  const uint8_t* p = item.Data();
  kind = item.ValueKind();
  switch (kind) {
    case ptgNum:
      return NumberText(ReadNumberToken(p));
    case ptgBool:
      return std::string(BooleanText(ReadBoolToken(p)));
    case ptgStr:
      return ReadStringToken(p);
    case ptgName:
    case ptgRef:
    case ptgRef3d: {
      uint16_t sheet = 0;
      int32_t row = 0, col = 0;
      const bool pending = errorCode_ != 0;
      if (!ResolveSingle(item, sheet, col, row) || pending) return {};
      std::string text;
      uint8_t error = 0;
      cache_.GetCellText(sheet, col, row, text, error, poppedLiteral_);
      if (error != 0) RaiseError(static_cast<EngineError>(error));
      return text;
    }
    default:
      RaiseError(EngineError::Value);
      return {};
  }
}

bool TSSFunctionHandler::PeekExactNumber(double& value) {
  if (stack_.Empty() || stack_.Top().Empty()) return false;
  const TokenBlock& item = stack_.Top();
  const uint8_t kind = item.ValueKind();
  if (kind == ptgNum && item.Length() == 9) {
    value = ReadNumberToken(item.Data());
    return true;
  }
  if (kind != ptgRef && kind != ptgRef3d && kind != ptgName) return false;
  const uint8_t pending = errorCode_;
  uint16_t sheet = 0;
  int32_t row = 0, col = 0;
  const bool resolved = ResolveSingle(item, sheet, col, row);
  errorCode_ = pending;  // the pop that follows a failure raises its error
  return resolved && cache_.GetCellExactNumber(sheet, col, row, value);
}

// ---- argument iterators ------------------------------------------------------------------

void TSSFunctionHandler::ForEachArgument(const ArgumentCallback& callback, ArgumentMode mode) {
  accumulator_ = 0;
  accumulatorSet_ = false;
  textAccumulator_.clear();
  visited_ = 0;
  cellErrorMet_ = false;
  for (int32_t i = 0; i < argCount_; ++i) {
    const TokenBlock item = PopItem();
    if (item.Empty()) continue;
    const uint8_t* p = item.Data();
    switch (item.ValueKind()) {
      case ptgName:
      case ptgRef:
      case ptgArea:
      case ptgRef3d:
      case ptgArea3d:
        ForEachCell(item, callback, mode);
        break;
      case ptgStr: {
        const std::string text = ReadStringToken(p);
        if (mode != ArgumentMode::Number) {
          ++visited_;
          callback(text, 0);
        } else {
          double value = 0;
          if (TextToNumber(text, value)) {
            ++visited_;
            callback({}, value);
          } else {
            RaiseError(EngineError::Value);
          }
        }
        break;
      }
      case ptgBool:
        ++visited_;
        if (mode != ArgumentMode::Number)
          callback(BooleanText(ReadBoolToken(p)), 0);
        else
          callback({}, ReadBoolToken(p) ? 1 : 0);
        break;
      case ptgNum:
        ++visited_;
        if (mode != ArgumentMode::Number)
          callback(NumberText(ReadNumberToken(p)), 0);
        else
          callback({}, ReadNumberToken(p));
        break;
      default:
        Report(kMsgUnknownToken);
        break;
    }
  }
}

void TSSFunctionHandler::ForEachCell(const TokenBlock& item, const ArgumentCallback& callback,
                                     ArgumentMode mode) {
  const uint8_t* p = item.Data();
  if (TokenSizeAt(item.Bytes(), 0) == 0) {
    RaiseError(EngineError::Value);
    return;
  }
  uint16_t sheet = currentSheet_;
  int64_t top = 0, left = 0, bottom = 0, right = 0;
  switch (p[0]) {
    case ptgRef:
    case ptgRef3d: {
      int32_t row = 0, col = 0;
      if (!ResolveSingle(item, sheet, col, row)) return;
      top = bottom = row;
      left = right = col;
      break;
    }
    case ptgArea:
    case ptgArea3d: {
      const AreaToken a = ReadAreaToken(p);
      const bool is3d = p[0] == ptgArea3d;
      if (is3d) sheet = ReadSheetOf3d(p);
      top = a.row1Abs || is3d ? a.row1 : int64_t{a.row1} + currentRow_;
      bottom = a.row2Abs || is3d ? a.row2 : int64_t{a.row2} + currentRow_;
      left = a.col1Abs || is3d ? a.col1 : int64_t{a.col1} + currentCol_;
      right = a.col2Abs || is3d ? a.col2 : int64_t{a.col2} + currentCol_;
      break;
    }
    case ptgName: {
      const uint16_t index = ReadNameIndex(p);
      const auto& names = cache_.Names();
      if (index >= names.size() || names[index].Deleted) {
        RaiseError(EngineError::Ref);
        return;
      }
      const TSSNameDefinition& name = names[index];
      sheet = name.Sheet;
      top = name.Top;
      bottom = name.Bottom;
      left = name.Left;
      right = name.Right;
      break;
    }
    default:
      RaiseError(EngineError::Value);
      return;
  }
  if (top < 0 || left < 0 || bottom < 0 || right < 0 || sheet >= cache_.Book().SheetCount() ||
      bottom > INT32_MAX || right > INT32_MAX) {
    RaiseError(EngineError::Ref);
    return;
  }
  if (bottom < top || right < left) return;
  // Cells beyond the used area are empty: they are handed over as one run. A small range is
  // read cell by cell, which gives the same values and costs less than finding the used area.
  const int64_t total = (bottom - top + 1) * (right - left + 1);
  const workbook::TRect used =
      total <= kReadWholeRange
          ? workbook::TRect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                            static_cast<int32_t>(right), static_cast<int32_t>(bottom)}
          : cache_.Book().UsedArea(sheet);
  const int64_t innerTop = std::max<int64_t>(top, used.Top);
  const int64_t innerBottom = std::min<int64_t>(bottom, used.Bottom);
  const int64_t innerLeft = std::max<int64_t>(left, used.Left);
  const int64_t innerRight = std::min<int64_t>(right, used.Right);
  int64_t inside = 0;
  std::string text;
  // The range's error is its first error cell column by column (A2 before B1), the order in
  // which other spreadsheets read a range; the cells are still read row by row.
  uint8_t rangeError = 0;
  int64_t errorCol = 0, errorRow = 0;
  auto noteError = [&](uint8_t error, int64_t col, int64_t row) {
    if (rangeError == 0 || col < errorCol || (col == errorCol && row < errorRow)) {
      rangeError = error;
      errorCol = col;
      errorRow = row;
    }
  };
  for (int64_t row = innerTop; row <= innerBottom; ++row) {
    for (int64_t col = innerLeft; col <= innerRight; ++col) {
      const auto r = static_cast<int32_t>(row);
      if (mode == ArgumentMode::Number) {
        // A run of plain number cells is read at once: the same values GetCellNumber gives.
        constexpr int32_t kRun = 16;
        double run[kRun];
        const auto want = static_cast<int32_t>(std::min<int64_t>(kRun, innerRight - col + 1));
        const int32_t got =
            cache_.Book().ReadDerivedNumbers(sheet, static_cast<int32_t>(col), r, want, run);
        for (int32_t i = 0; i < got; ++i) {
          ++inside;
          ++visited_;
          callback({}, run[i]);
        }
        col += got;
        if (col > innerRight) break;
      }
      ++inside;
      uint8_t error = 0;
      const auto c = static_cast<int32_t>(col);
      if (mode != ArgumentMode::Number) {
        cache_.GetCellText(sheet, c, r, text, error, argLiteral_);
        if (error != 0 && mode == ArgumentMode::Counting) {
          text = EngineErrorText(error);
        } else if (error != 0) {
          noteError(error, col, row);
          continue;
        }
        ++visited_;
        callback(text, 0);
        argLiteral_ = false;
      } else {
        double value = 0;
        const bool ok = cache_.GetCellNumber(sheet, c, r, value, error);
        if (error != 0) {
          noteError(error, col, row);
          continue;
        }
        if (ok) {
          ++visited_;
          callback({}, value);
        }
      }
    }
  }
  // Arguments are visited last first; the first error met is the function's, as other
  // spreadsheets have it (=SUM(A1:A3,B1:B2) gives the error of B1:B2 when both hold one).
  if (rangeError != 0 && !cellErrorMet_) {
    RaiseError(static_cast<EngineError>(rangeError));
    cellErrorMet_ = true;
  }
  const int64_t empties = total - inside;
  if (empties > 0) {
    runLength_ = empties;
    visited_ = static_cast<int32_t>(std::min<int64_t>(int64_t{visited_} + empties, INT32_MAX));
    callback({}, 0);
    runLength_ = 1;
  }
}

// ---- the walk ----------------------------------------------------------------------------

void TSSFunctionHandler::PushTyped(std::string_view text) {
  if (!notText_) {
    PushText(text);
    return;
  }
  if (text.empty()) {
    PushNumber(0);
    return;
  }
  double number = 0;
  bool boolean = false;
  if (TextToNumber(text, number))
    PushNumber(number);
  else if (TextToBoolean(text, boolean))
    PushBoolean(boolean);
  else
    PushText(text);
}

void TSSFunctionHandler::EvaluateEntry(FormulaEntry& entry) {
  notText_ = true;
  ResetFor(&entry, true);
  holdMessages_ = true;
  heldMessages_.clear();
  struct Finish {
    TSSFunctionHandler& h;
    FormulaEntry& e;
    ~Finish() {
      // Runs also when the walk raised: the entry always gets exactly one result token.
      try {
        if (h.errorCode_ != 0) {
          e.State = EntryState::Error;
          e.Result = MakeByteToken(h.errorCode_);
        } else {
          // A number result keeps the computed double; so does a lone reference to a number
          // (=A1 of =1/3 is 1/3, not the 15 digits of its text).
          uint8_t kind = 0;
          double exact = 0;
          if (!h.stack_.Empty() && h.stack_.Top().Length() == 9 && h.stack_.Top()[0] == ptgNum &&
              h.notText_) {
            const double v = ReadNumberToken(h.stack_.Top().Data());
            h.stack_.Clear();
            e.Result = MakeNumberToken(v);
          } else if (h.notText_ && h.PeekExactNumber(exact)) {
            h.stack_.Clear();
            e.Result = MakeNumberToken(exact);
          } else {
            const std::string text = h.PopText(kind);
            // A single reference whose cell holds an error passes that error on. (A range
            // alone raises its error after the check above and shows 0.)
            const bool single = kind == ptgRef || kind == ptgRef3d || kind == ptgName;
            if (single && h.errorCode_ != 0) {
              e.State = EntryState::Error;
              e.Result = MakeByteToken(h.errorCode_);
            } else if (h.poppedLiteral_) {
              h.PushText(text);  // a literal text cell's value stays its text
              e.Result = h.stack_.Pop();
            } else {
              h.PushTyped(text);
              e.Result = h.stack_.Pop();
            }
          }
        }
      } catch (...) {
        e.State = EntryState::Error;
        e.Result = MakeByteToken(static_cast<uint8_t>(EngineError::Value));
      }
      h.stack_.Clear();
      h.holdMessages_ = false;
      // Messages of an evaluation that was suspended are dropped: it runs again.
      if (!h.cache_.NeedPending())
        for (const std::string& message : h.heldMessages_) h.cache_.Report(message);
      h.heldMessages_.clear();
    }
  } finish{*this, entry};

  entry.State = EntryState::Valid;
  const auto bytes = entry.Tokens.Bytes();
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) throw ECalculationError(std::string(kMsgSyntax));
    const uint8_t* p = bytes.data() + pos;
    const uint8_t kind = p[0];
    if (kind >= ptgAdd && kind <= ptgPercent) {
      ApplyOperator(kind);
    } else if (kind == ptgParen) {
      // nothing: brackets only matter for the text
    } else if (kind == ptgFuncVar) {
      CallFunction(p[1], ReadU16(p + 2));
    } else {
      stack_.Push(TokenBlock(bytes.subspan(pos, size)));
    }
    if (cache_.NeedPending()) return;  // suspended: the cache evaluates what it needs first
    pos += size;
  }
}

template <typename PopRight, typename PopLeft>
void TSSFunctionHandler::PopOperandsInReadingOrder(PopRight popRight, PopLeft popLeft) {
  // The right operand is on top, but when both operands fail, the left one's error is the
  // result (=A1+A2 with two error cells gives A1's), as a reader of the formula expects.
  const uint8_t before = errorCode_;
  popRight();
  const uint8_t rightError = errorCode_;
  errorCode_ = before;
  popLeft();
  if (errorCode_ == 0) errorCode_ = rightError;
}

void TSSFunctionHandler::ApplyOperator(uint8_t kind) {
  switch (kind) {
    case ptgAdd:
    case ptgSub:
    case ptgMul:
    case ptgDiv:
    case ptgPower: {
      double left = 0, right = 0;
      PopOperandsInReadingOrder([&] { right = PopNumber(); }, [&] { left = PopNumber(); });
      if (errorCode_ != 0) {
        PushNumber(left);
        return;
      }
      switch (kind) {
        case ptgAdd:
          PushNumber(left + right);
          break;
        case ptgSub:
          PushNumber(left - right);
          break;
        case ptgMul:
          PushNumber(left * right);
          break;
        case ptgDiv:
          if (right == 0) {
            RaiseError(EngineError::Div0);
            PushText(EngineErrorText(static_cast<uint8_t>(EngineError::Div0)));
          } else {
            PushNumber(left / right);
          }
          break;
        default:
          PushNumber(platform::math::Pow(left, right));
          break;
      }
      return;
    }
    case ptgUplus:
      PushNumber(PopNumber());
      return;
    case ptgUminus:
      PushNumber(-PopNumber());
      return;
    case ptgPercent:
      PushNumber(PopNumber() / 100);
      return;
    case ptgConcat: {
      std::string left, right;
      PopOperandsInReadingOrder([&] { right = PopText(); }, [&] { left = PopText(); });
      PushText(left + right);
      return;
    }
    case ptgLT:
    case ptgLE:
    case ptgEQ:
    case ptgGE:
    case ptgGT:
    case ptgNE: {
      std::string left, right;
      PopOperandsInReadingOrder([&] { right = PopText(); }, [&] { left = PopText(); });
      const int order = CompareValueTexts(left, right);
      bool result = false;
      switch (kind) {
        case ptgLT:
          result = order < 0;
          break;
        case ptgLE:
          result = order <= 0;
          break;
        case ptgEQ:
          result = order == 0;
          break;
        case ptgGE:
          result = order >= 0;
          break;
        case ptgGT:
          result = order > 0;
          break;
        default:
          result = order != 0;
          break;
      }
      PushBoolean(result);
      return;
    }
    case ptgIsect:
      Intersect();
      return;
    default:
      Report(kMsgUnknownToken);
      return;
  }
}

void TSSFunctionHandler::Intersect() {
  const TokenBlock right = PopItem();
  const TokenBlock left = PopItem();
  auto rectOf = [&](const TokenBlock& item, uint16_t& sheet, workbook::TRect& rect) -> bool {
    if (item.Empty() || TokenSizeAt(item.Bytes(), 0) == 0) return false;
    const uint8_t* p = item.Data();
    if (p[0] == ptgArea || p[0] == ptgArea3d) {
      const AreaToken a = ReadAreaToken(p);
      const bool is3d = p[0] == ptgArea3d;
      sheet = is3d ? ReadSheetOf3d(p) : currentSheet_;
      rect.Top = a.row1Abs || is3d ? a.row1 : a.row1 + currentRow_;
      rect.Bottom = a.row2Abs || is3d ? a.row2 : a.row2 + currentRow_;
      rect.Left = a.col1Abs || is3d ? a.col1 : a.col1 + currentCol_;
      rect.Right = a.col2Abs || is3d ? a.col2 : a.col2 + currentCol_;
      return true;
    }
    if (p[0] == ptgRef || p[0] == ptgRef3d || p[0] == ptgName) {
      if (p[0] == ptgName) {
        const uint16_t index = ReadNameIndex(p);
        const auto& names = cache_.Names();
        if (index >= names.size() || names[index].Deleted) return false;
        const auto& n = names[index];
        sheet = n.Sheet;
        rect = workbook::TRect{n.Left, n.Top, n.Right, n.Bottom};
        return true;
      }
      int32_t row = 0, col = 0;
      if (!ResolveSingle(item, sheet, col, row)) return false;
      rect = workbook::TRect{col, row, col, row};
      return true;
    }
    return false;
  };
  uint16_t s1 = 0, s2 = 0;
  workbook::TRect a, b, overlap;
  if (!rectOf(left, s1, a) || !rectOf(right, s2, b) || s1 != s2 ||
      !workbook::TSSUtils::IntersectCellRects(overlap, a, b)) {
    RaiseError(EngineError::Ref);
    stack_.Push(MakeNumberToken(0));  // a placeholder, so that the next pop keeps the code
    return;
  }
  AreaToken area{true, true, true, true, overlap.Top, overlap.Bottom, overlap.Left, overlap.Right};
  stack_.Push(MakeArea3dToken(s1, area));
}

void TSSFunctionHandler::CallFunction(uint8_t argCount, uint16_t number) {
  accumulatorSet_ = false;
  argCount_ = argCount;
  const TFuncDefinition* def = FindFunctionByNumber(number);
  if (def == nullptr || def->Routine == nullptr) {
    RaiseError(EngineError::Value);
    return;
  }
  hasResult_ = false;
  const FunctionArity arity = ArityOf(*def);
  if (argCount < arity.min || argCount > arity.max) {
    for (int32_t i = 0; i < argCount; ++i) PopItem();
    RaiseError(EngineError::Value);
    PushNumber(0);
    return;
  }
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{accumulatorSet_};
  def->Routine(*this);
  if (!hasResult_) throw ECalculationError(std::string(kMsgNeedResult));
}

}  // namespace formulas
