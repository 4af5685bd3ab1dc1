#pragma once
// Turns the token bytes of a file formula into formula text ("=A1+B1*2"), which the engine
// then parses like typed text. One converter serves every formula of a file.
//
// What the conversion needs from the file reader (names, EXTERNSHEET entries, sheet names) and
// from the engine (function table, number and error texts, column letters) comes through
// FormulaTextSource, which the book-level file reader implements.
//
// Protocol of TokensToText: the operand stack `Texts` is built token by token in postfix
// order; the result is "=" + the top text. Operators keep the file's order: an operand that the
// engine's parser would group differently (its ^ binds like * and /, its & like the
// comparisons) is put in brackets, so =2*3^2 from a file reads =2*(3^2) (OperatorBinding.h). The
// empty text means "set nothing on the cell": a ptgExp (the cell shares a SHRFMLA or ARRAY formula)
// or a mem token. "Unknown function" is returned when a function number is not in the table (and
// UnknownFunction is set); "Formula not construct" when nothing was built. Bytes are never read
// past Length: a token whose payload is cut ends the conversion as a kind without handler does.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "xls/formula/OperatorBinding.h"

namespace xls {

struct FormulaFunctionInfo {
  std::string name;   // "SUM"
  int fixedArgs = 0;  // the argument count of a ptgFunc call
};

class FormulaTextSource {
 public:
  virtual ~FormulaTextSource() = default;
  // NAME records in file order.
  virtual size_t NameCount() const = 0;
  virtual std::string NameText(size_t index) const = 0;
  // First-sheet index of each EXTERNSHEET entry, in file order.
  virtual size_t ExternSheetCount() const = 0;
  virtual uint16_t ExternSheetFirst(size_t index) const = 0;
  // BOUNDSHEET names (every sheet type) in file order.
  virtual size_t SheetCount() const = 0;
  virtual std::string SheetName(size_t index) const = 0;
  // The engine's function table by file function number; none when unknown.
  virtual std::optional<FormulaFunctionInfo> Function(uint16_t number) const = 0;
  // Column letters in A1 notation ("A", "IV").
  virtual std::string ColumnCaption(int32_t column) const = 0;
  // General-form number text with the system decimal separator, at most 15 digits.
  virtual std::string NumberText(double value) const = 0;
  // The literal of an error code ("#DIV/0!"), empty for a code without one.
  virtual std::string ErrorText(uint8_t code) const = 0;
  // A ptgName whose index has no NAME record: the user is told "Invalid name reference: "
  // followed by the index from 0.
  virtual void ReportInvalidName(const std::string& message) = 0;
};

// One operand of the conversion: its text and how tightly its outermost operator binds.
struct OperandText {
  OperandText() = default;
  OperandText(std::string t, Binding b = kAtomBinding) : text(std::move(t)), binding(b) {}
  OperandText(const char* t) : text(t) {}
  std::string text;
  Binding binding = kAtomBinding;
};

class TFormulaReader {
 public:
  using Handler = void (TFormulaReader::*)();

  explicit TFormulaReader(FormulaTextSource& reader);
  virtual ~TFormulaReader() = default;

  virtual bool HandleToken(uint8_t kind);
  // Converts `length` token bytes for the cell (column, row) that receives the formula.
  virtual void TokensToText(int32_t column, int32_t row, std::string& text, uint16_t length,
                            const uint8_t* tokens);
  virtual void RegisterToken(uint8_t kind, Handler handler);

  bool UnknownFunctionMet() const { return UnknownFunction; }

 private:
  // Payload readers: false (and Stop set) when the bytes run out.
  bool Need(size_t bytes);
  uint8_t U8();
  uint16_t U16();
  OperandText Pop();
  // The operand's text, bracketed when `brackets`.
  static std::string Grouped(const OperandText& operand, bool brackets);
  std::string CellText(int32_t column, bool columnAbsolute, int32_t row, bool rowAbsolute) const;
  std::string PlainRefText(uint16_t columnWord, uint16_t row) const;
  std::string OffsetRefText(uint16_t columnWord, uint16_t row) const;
  std::string SheetText(uint16_t externIndex) const;
  // The top k texts joined in argument order with the list separator, and Extra, in brackets.
  bool Arguments(size_t k, const std::string& extra, std::string& out);
  std::string ListSeparator() const;

  void DoExp();
  void DoTbl();
  void DoBinary();
  void DoUplus();
  void DoUminus();
  void DoPercent();
  void DoParen();
  void DoMissArg();
  void DoStr();
  void DoAttr();
  void DoErr();
  void DoBool();
  void DoInt();
  void DoNum();
  void DoFunc();
  void DoFuncVar();
  void DoName();
  void DoRef();
  void DoArea();
  void DoMem();
  void DoMemArea();
  void DoRefErr();
  void DoAreaErr();
  void DoRefN();
  void DoAreaN();
  void DoRef3d();
  void DoArea3d();
  void DoRefErr3d();
  void DoAreaErr3d();
  void PushFunction(uint16_t number, size_t args, bool addIfElse);

  // Converter state, named as the file reader's documentation names it.
  int32_t CurrentCol = 0;
  bool Stop = false;
  uint16_t Position = 0;
  FormulaTextSource& Reader;
  int32_t CurrentRow = 0;
  std::vector<OperandText> Texts;
  uint8_t Kind = 0;
  const uint8_t* Tokens = nullptr;
  uint16_t Length = 0;
  std::array<Handler, 256> Handlers{};
  bool UnknownFunction = false;
};

}  // namespace xls
