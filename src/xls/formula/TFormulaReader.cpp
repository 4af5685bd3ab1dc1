#include "xls/formula/TFormulaReader.h"

#include <algorithm>
#include <cstdint>

#include "platform/LittleEndian.h"
#include "platform/Locale.h"
#include "xls/biff/XlsText.h"
#include "xls/formula/PtgTable.h"

namespace xls {

namespace {
const char* const kOperatorTexts[] = {"+",  "-", "*",  "/", "^",  "&", "<",
                                      "<=", "=", ">=", ">", "<>", " "};
constexpr const char* kShared = "Shared";
}  // namespace

TFormulaReader::TFormulaReader(FormulaTextSource& reader) : Reader(reader) {
  RegisterToken(ptg::kExp, &TFormulaReader::DoExp);
  RegisterToken(ptg::kTbl, &TFormulaReader::DoTbl);
  for (uint8_t k = ptg::kAdd; k <= ptg::kRange; ++k) RegisterToken(k, &TFormulaReader::DoBinary);
  RegisterToken(ptg::kUplus, &TFormulaReader::DoUplus);
  RegisterToken(ptg::kUminus, &TFormulaReader::DoUminus);
  RegisterToken(ptg::kPercent, &TFormulaReader::DoPercent);
  RegisterToken(ptg::kParen, &TFormulaReader::DoParen);
  RegisterToken(ptg::kMissArg, &TFormulaReader::DoMissArg);
  RegisterToken(ptg::kStr, &TFormulaReader::DoStr);
  RegisterToken(ptg::kAttr, &TFormulaReader::DoAttr);
  RegisterToken(ptg::kErr, &TFormulaReader::DoErr);
  RegisterToken(ptg::kBool, &TFormulaReader::DoBool);
  RegisterToken(ptg::kInt, &TFormulaReader::DoInt);
  RegisterToken(ptg::kNum, &TFormulaReader::DoNum);
  // Operand tokens in every class: the class says how a value is taken, not how it reads.
  for (ptg::TokenClass c :
       {ptg::TokenClass::Reference, ptg::TokenClass::Value, ptg::TokenClass::Array}) {
    RegisterToken(ptg::WithClass(ptg::kFunc, c), &TFormulaReader::DoFunc);
    RegisterToken(ptg::WithClass(ptg::kFuncVar, c), &TFormulaReader::DoFuncVar);
    RegisterToken(ptg::WithClass(ptg::kName, c), &TFormulaReader::DoName);
    RegisterToken(ptg::WithClass(ptg::kRef, c), &TFormulaReader::DoRef);
    RegisterToken(ptg::WithClass(ptg::kArea, c), &TFormulaReader::DoArea);
    RegisterToken(ptg::WithClass(ptg::kRefErr, c), &TFormulaReader::DoRefErr);
    RegisterToken(ptg::WithClass(ptg::kAreaErr, c), &TFormulaReader::DoAreaErr);
    RegisterToken(ptg::WithClass(ptg::kRefN, c), &TFormulaReader::DoRefN);
    RegisterToken(ptg::WithClass(ptg::kAreaN, c), &TFormulaReader::DoAreaN);
    RegisterToken(ptg::WithClass(ptg::kRef3d, c), &TFormulaReader::DoRef3d);
    RegisterToken(ptg::WithClass(ptg::kArea3d, c), &TFormulaReader::DoArea3d);
    RegisterToken(ptg::WithClass(ptg::kRefErr3d, c), &TFormulaReader::DoRefErr3d);
    RegisterToken(ptg::WithClass(ptg::kAreaErr3d, c), &TFormulaReader::DoAreaErr3d);
    for (uint8_t mem : {ptg::kMemArea, ptg::kMemErr, ptg::kMemNoMem})
      RegisterToken(ptg::WithClass(mem, c), &TFormulaReader::DoMemArea);
    for (uint8_t mem : {ptg::kMemFunc, ptg::kMemAreaN, ptg::kMemNoMemN})
      RegisterToken(ptg::WithClass(mem, c), &TFormulaReader::DoMem);
  }
}

void TFormulaReader::RegisterToken(uint8_t kind, Handler handler) { Handlers[kind] = handler; }

bool TFormulaReader::HandleToken(uint8_t kind) {
  Handler h = Handlers[kind];
  if (!h) return false;
  (this->*h)();
  return true;
}

void TFormulaReader::TokensToText(int32_t column, int32_t row, std::string& text, uint16_t length,
                                  const uint8_t* tokens) {
  text.clear();
  Texts.clear();
  if (length >= 1 && tokens[0] == ptg::kExp && length <= 1) return;
  CurrentCol = column;
  CurrentRow = row;
  Tokens = tokens;
  Length = tokens ? length : 0;
  Position = 0;
  Stop = false;
  UnknownFunction = false;
  while (Position < Length && !Stop && !UnknownFunction) {
    Kind = Tokens[Position];
    ++Position;
    if (!HandleToken(Kind)) Stop = true;
  }
  if (UnknownFunction) {
    text = "Unknown function";
    return;
  }
  text = Texts.empty() ? "Formula not construct" : "=" + Texts.back().text;
  if (text.find(kShared) != std::string::npos || text.find("#<") != std::string::npos) text.clear();
}

bool TFormulaReader::Need(size_t bytes) {
  if (bytes <= static_cast<size_t>(Length - Position)) return true;
  Stop = true;
  return false;
}
uint8_t TFormulaReader::U8() { return Tokens[Position++]; }
uint16_t TFormulaReader::U16() {
  uint16_t v = platform::LoadU16(Tokens + Position);
  Position = static_cast<uint16_t>(Position + 2);
  return v;
}

OperandText TFormulaReader::Pop() {
  OperandText top = std::move(Texts.back());
  Texts.pop_back();
  return top;
}

std::string TFormulaReader::Grouped(const OperandText& operand, bool brackets) {
  return brackets ? "(" + operand.text + ")" : operand.text;
}

std::string TFormulaReader::ListSeparator() const {
  const auto& locale = platform::Locale::Current();
  char sep = locale.listSeparator == locale.decimalSeparator ? ';' : locale.listSeparator;
  return std::string(1, sep);
}

std::string TFormulaReader::CellText(int32_t column, bool columnAbsolute, int32_t row,
                                     bool rowAbsolute) const {
  std::string s;
  if (columnAbsolute) s += '$';
  s += Reader.ColumnCaption(column);
  if (rowAbsolute) s += '$';
  s += std::to_string(static_cast<int64_t>(row) + 1);
  return s;
}

std::string TFormulaReader::PlainRefText(uint16_t word, uint16_t row) const {
  return CellText(word & ptg::kColumnMask, !(word & ptg::kColumnRelative), row,
                  !(word & ptg::kRowRelative));
}

std::string TFormulaReader::OffsetRefText(uint16_t word, uint16_t row) const {
  const bool colRel = word & ptg::kColumnRelative;
  const bool rowRel = word & ptg::kRowRelative;
  const uint8_t low = static_cast<uint8_t>(word & 0xFF);
  int32_t c = colRel ? CurrentCol + static_cast<int8_t>(low) : low;
  int32_t r = rowRel ? CurrentRow + static_cast<int16_t>(row) : row;
  return CellText(c, !colRel, r, !rowRel);
}

std::string TFormulaReader::SheetText(uint16_t x) const {
  size_t sheet = x < Reader.ExternSheetCount() ? Reader.ExternSheetFirst(x) : x;
  std::string name =
      sheet < Reader.SheetCount() ? Reader.SheetName(sheet) : std::string("#REF!") + "3D!";
  if (name.find(' ') != std::string::npos) name = "'" + name + "'";
  return name;
}

bool TFormulaReader::Arguments(size_t k, const std::string& extra, std::string& out) {
  if (k > Texts.size()) {
    Stop = true;  // a damaged file: fewer operands than the call takes
    return false;
  }
  std::string joined;
  const std::string sep = ListSeparator();
  for (size_t i = Texts.size() - k; i < Texts.size(); ++i) {
    if (i > Texts.size() - k) joined += sep;
    joined += Texts[i].text;
  }
  Texts.resize(Texts.size() - k);
  out = "(" + joined + extra + ")";
  return true;
}

void TFormulaReader::DoExp() {
  if (!Need(4)) return;
  Texts.push_back(std::string("#") + kShared + "!");
  Position = static_cast<uint16_t>(Position + 4);
}

void TFormulaReader::DoTbl() {
  if (Need(4)) Position = static_cast<uint16_t>(Position + 4);
}

void TFormulaReader::DoBinary() {
  if (Texts.empty()) {
    Stop = true;
    return;
  }
  if (Texts.size() == 1) {
    Texts.back() = "#Missing tokens";
    return;
  }
  const OperandText right = Pop();
  OperandText& left = Texts.back();
  const std::string op = Kind == ptg::kUnion   ? ListSeparator()
                         : Kind == ptg::kRange ? std::string(":")
                                               : std::string(kOperatorTexts[Kind - ptg::kAdd]);
  constexpr FormulaReading kTyped = FormulaReading::EngineText;
  left = OperandText(Grouped(left, LeftNeedsBrackets(kTyped, Kind, left.binding)) + op +
                         Grouped(right, RightNeedsBrackets(kTyped, Kind, right.binding)),
                     OperatorBinding(kTyped, Kind));
}

void TFormulaReader::DoUplus() {}

void TFormulaReader::DoUminus() {
  if (Texts.empty())
    Stop = true;
  else
    Texts.back() = OperandText(
        "-" + Grouped(Texts.back(),
                      UnaryNeedsBrackets(FormulaReading::EngineText, Texts.back().binding)),
        OperatorBinding(FormulaReading::EngineText, ptg::kUminus));
}

void TFormulaReader::DoPercent() {
  if (Texts.empty())
    Stop = true;
  else
    Texts.back() = OperandText(Grouped(Texts.back(), UnaryNeedsBrackets(FormulaReading::EngineText,
                                                                        Texts.back().binding)) +
                               "%");
}

void TFormulaReader::DoParen() {
  if (Texts.empty())
    Stop = true;
  else
    Texts.back() = OperandText(Grouped(Texts.back(), true));
}

void TFormulaReader::DoMissArg() { Texts.push_back("0"); }

void TFormulaReader::DoStr() {
  if (!Need(2)) return;
  size_t n = U8();
  bool wide = U8() != 0;
  if (!Need(n * (wide ? 2 : 1))) return;
  std::string chars;
  if (wide) {
    std::u16string u;
    for (size_t i = 0; i < n; ++i) u.push_back(static_cast<char16_t>(U16()));
    chars = ToSystemText(u);
  } else {
    for (size_t i = 0; i < n; ++i) chars += static_cast<char>(U8());
  }
  std::string quoted = "\"";
  for (char c : chars) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  Texts.push_back(quoted + "\"");
}

void TFormulaReader::DoAttr() {
  if (!Need(3)) return;
  uint8_t o = U8();
  uint16_t data = U16();
  if (o & ptg::kAttrChoose) {
    if (Need(size_t{2} * (size_t{data} + 1)))
      Position = static_cast<uint16_t>(Position + 2 * (data + 1));
  } else if (o & ptg::kAttrSum) {
    if (Texts.empty())
      Stop = true;
    else
      Texts.back() = OperandText("SUM(" + Texts.back().text + ")");
  }
}

void TFormulaReader::DoErr() {
  if (!Need(1)) return;
  Texts.push_back(Reader.ErrorText(U8()));
  Stop = true;
}

void TFormulaReader::DoBool() {
  if (Need(1)) Texts.push_back(U8() != 0 ? "TRUE" : "FALSE");
}

void TFormulaReader::DoInt() {
  if (Need(2)) Texts.push_back(std::to_string(U16()));
}

void TFormulaReader::DoNum() {
  if (!Need(8)) return;
  double v = platform::LoadDouble(Tokens + Position);
  Position = static_cast<uint16_t>(Position + 8);
  Texts.push_back(Reader.NumberText(v));
}

void TFormulaReader::PushFunction(uint16_t number, size_t args, bool addIfElse) {
  auto f = Reader.Function(number);
  if (!f) {
    UnknownFunction = true;
    return;
  }
  if (args == SIZE_MAX) args = static_cast<size_t>(std::max(0, f->fixedArgs));
  std::string extra = (addIfElse && number == 1 && args == 2) ? ListSeparator() + "0" : "";
  std::string list;
  if (Arguments(args, extra, list)) Texts.push_back(f->name + list);
}

void TFormulaReader::DoFunc() {
  if (Need(2)) PushFunction(U16(), SIZE_MAX, false);
}

void TFormulaReader::DoFuncVar() {
  if (!Need(3)) return;
  size_t k = U8() & 0x7F;
  PushFunction(U16() & 0x7FFF, k, true);
}

void TFormulaReader::DoName() {
  if (!Need(4)) return;
  uint16_t i = U16();
  Position = static_cast<uint16_t>(Position + 2);
  if (i >= 1 && i <= Reader.NameCount())
    Texts.push_back(Reader.NameText(i - 1));
  else
    Reader.ReportInvalidName("Invalid name reference: " + std::to_string(static_cast<int>(i) - 1));
}

void TFormulaReader::DoRef() {
  if (!Need(4)) return;
  uint16_t row = U16();
  Texts.push_back(PlainRefText(U16(), row));
}

void TFormulaReader::DoArea() {
  if (!Need(8)) return;
  uint16_t r1 = U16(), r2 = U16(), c1 = U16(), c2 = U16();
  Texts.push_back(PlainRefText(c1, r1) + ":" + PlainRefText(c2, r2));
}

void TFormulaReader::DoMem() {
  if (!Need(2)) return;
  uint16_t size = U16();
  if (!Need(size)) return;
  Position = static_cast<uint16_t>(Position + size);
  Texts.push_back("#<ptgMem>");
}

void TFormulaReader::DoMemArea() {
  // 4 reserved bytes, then the size of the subexpression, which is skipped.
  if (!Need(6)) return;
  Position = static_cast<uint16_t>(Position + 4);
  uint16_t size = U16();
  if (!Need(size)) return;
  Position = static_cast<uint16_t>(Position + size);
  Texts.push_back("#<ptgMem>");
}

void TFormulaReader::DoRefErr() {
  if (!Need(4)) return;
  Position = static_cast<uint16_t>(Position + 4);
  Texts.push_back("#REF!");
}

void TFormulaReader::DoAreaErr() {
  if (!Need(8)) return;
  Position = static_cast<uint16_t>(Position + 8);
  Texts.push_back("#REF!");
}

void TFormulaReader::DoRefN() {
  if (!Need(4)) return;
  uint16_t row = U16();
  Texts.push_back(OffsetRefText(U16(), row));
}

void TFormulaReader::DoAreaN() {
  if (!Need(8)) return;
  uint16_t r1 = U16(), r2 = U16(), c1 = U16(), c2 = U16();
  Texts.push_back(OffsetRefText(c1, r1) + ":" + OffsetRefText(c2, r2));
}

void TFormulaReader::DoRef3d() {
  if (!Need(6)) return;
  uint16_t x = U16(), row = U16(), col = U16();
  Texts.push_back(SheetText(x) + "!" + PlainRefText(col, row));
}

void TFormulaReader::DoArea3d() {
  if (!Need(10)) return;
  uint16_t x = U16(), r1 = U16(), r2 = U16(), c1 = U16(), c2 = U16();
  Texts.push_back(SheetText(x) + "!" + PlainRefText(c1, r1) + ":" + PlainRefText(c2, r2));
}

void TFormulaReader::DoRefErr3d() {
  if (!Need(6)) return;
  uint16_t x = U16();
  Position = static_cast<uint16_t>(Position + 4);
  Texts.push_back(SheetText(x) + "#REF!");
}

void TFormulaReader::DoAreaErr3d() {
  if (!Need(10)) return;
  uint16_t x = U16();
  Position = static_cast<uint16_t>(Position + 8);
  Texts.push_back(SheetText(x) + "#REF!");
}

}  // namespace xls
