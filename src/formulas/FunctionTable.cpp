#include "formulas/FunctionTable.h"

#include <array>

#include "formulas/FunctionRoutines.h"
#include "platform/CodePage.h"

namespace formulas {
namespace {

using namespace routines;

// Name, file number, routine, reserved, fixed argument count of a file token.
constexpr std::array<TFuncDefinition, 81> kTable{{
    {24, "ABS", Abs, 0, 1},
    {99, "ACOS", Acos, 0, 1},
    {233, "ACOSH", Acosh, 0, 1},
    {36, "AND", And, 0, 1},
    {98, "ASIN", Asin, 0, 1},
    {232, "ASINH", Asinh, 0, 1},
    {18, "ATAN", Atan, 0, 1},
    {97, "ATAN2", Atan2, 0, 2},
    {234, "ATANH", Atanh, 0, 1},
    {5, "AVERAGE", Average, 0, 1},
    {361, "AVERAGEA", AverageA, 0, 1},
    {16, "COS", Cos, 0, 1},
    {230, "COSH", Cosh, 0, 1},
    {0, "COUNT", Count, 0, 1},
    {169, "COUNTA", CountA, 0, 1},
    {347, "COUNTBLANK", CountBlank, 0, 1},
    {346, "COUNTIF", CountIf, 0, 2},
    {65, "DATE", Date, 0, 3},
    {67, "DAY", Day, 0, 1},
    {13, "DOLLAR", Dollar, 0, 1},
    {21, "EXP", Exp, 0, 1},
    {184, "FACT", Fact, 0, 1},
    {25, "INT", Int, 0, 1},
    {1, "IF", If, 0, 2},
    {22, "LN", Ln, 0, 1},
    {109, "LOG", Log, 0, 1},
    {23, "LOG10", Log10, 0, 1},
    {7, "MAX", Max, 0, 1},
    {6, "MIN", Min, 0, 1},
    {39, "MOD", Mod, 0, 2},
    {68, "MONTH", Month, 0, 1},
    {38, "NOT", Not, 0, 1},
    {74, "NOW", Now, 0, 0},
    {298, "ODD", Odd, 0, 1},
    {37, "OR", Or, 0, 1},
    {19, "PI", Pi, 0, 0},
    {337, "POWER", Power, 0, 2},
    {342, "RADIANS", Radians, 0, 1},
    {63, "RAND", Rand, 0, 0},
    {27, "ROUND", Round, 0, 2},
    {213, "ROUNDDOWN", RoundDown, 0, 2},
    {212, "ROUNDUP", RoundUp, 0, 2},
    {26, "SIGN", Sign, 0, 1},
    {15, "SIN", Sin, 0, 1},
    {229, "SINH", Sinh, 0, 1},
    {20, "SQRT", Sqrt, 0, 1},
    {4, "SUM", Sum, 0, 1},
    {321, "SUMSQ", SumSq, 0, 1},
    {17, "TAN", Tan, 0, 1},
    {231, "TANH", Tanh, 0, 1},
    {66, "TIME", Time, 0, 3},
    {221, "TODAY", Today, 0, 0},
    {197, "TRUNC", Trunc, 0, 1},
    {69, "YEAR", Year, 0, 1},
    {70, "WEEKDAY", Weekday, 0, 1},
    {35, "FALSE", False, 0, 0},
    {34, "TRUE", True, 0, 0},
    {118, "TRIM", Trim, 0, 1},
    {279, "EVEN", Even, 0, 1},
    {288, "CEILING", Ceiling, 0, 2},
    {285, "FLOOR", Floor, 0, 2},
    {336, "CONCATENATE", Concatenate, 0, 1},
    {343, "DEGREES", Degrees, 0, 1},
    {14, "FIXED", Fixed, 0, 1},
    {71, "HOUR", Hour, 0, 1},
    {72, "MINUTE", Minute, 0, 1},
    {73, "SECOND", Second, 0, 1},
    {198, "ISLOGICAL", IsLogical, 0, 1},
    {126, "ISERR", IsError, 0, 1},
    {3, "ISERROR", IsError, 0, 1},
    {190, "ISNONTEXT", IsNonText, 0, 1},
    {129, "ISBLANK", IsBlank, 0, 1},
    {2, "ISNA", IsNA, 0, 1},
    {128, "ISNUMBER", IsNumber, 0, 1},
    {127, "ISTEXT", IsText, 0, 1},
    {32, "LEN", Len, 0, 1},
    {115, "LEFT", Left, 0, 1},
    {116, "RIGHT", Right, 0, 1},
    {31, "MID", Mid, 0, 3},
    {112, "LOWER", Lower, 0, 1},
    {113, "UPPER", Upper, 0, 1},
}};

}  // namespace

std::span<const TFuncDefinition> FunctionTable() { return kTable; }

FunctionArity ArityOf(const TFuncDefinition& def) {
  switch (def.Number) {
    // Aggregates take any number of arguments.
    case 4:
    case 321:
    case 7:
    case 6:
    case 0:
    case 169:
    case 347:
    case 5:
    case 361:
    case 36:
    case 37:
    case 336:
      return {0, 255};
    case 129:  // ISBLANK: true only for exactly one empty value
      return {1, 255};
    case 346:  // COUNTIF: ranges, then the criterion
      return {2, 255};
    case 1:  // IF: the else-value may be left out
      return {2, 3};
    case 109:
    case 197:
    case 115:
    case 116:
    case 70:
    case 13:
      return {1, 2};
    case 14:  // FIXED
      return {1, 3};
    case 288:
    case 285:  // CEILING, FLOOR check their count themselves (#NAME!)
      return {1, 2};
    case 31:  // MID checks its count itself
      return {1, 3};
    default:
      return {def.FixedArgs, def.FixedArgs};
  }
}

namespace {
// Every evaluation of a function call looks its definition up by number: a direct index by
// number (table position + 1, 0 for none) instead of a search through the table.
constexpr size_t kNumberLimit = 512;
constexpr std::array<uint8_t, kNumberLimit> kByNumber = [] {
  std::array<uint8_t, kNumberLimit> index{};
  for (size_t i = 0; i < kTable.size(); ++i)
    if (kTable[i].Number < kNumberLimit && index[kTable[i].Number] == 0)
      index[kTable[i].Number] = static_cast<uint8_t>(i + 1);
  return index;
}();
}  // namespace

const TFuncDefinition* FindFunctionByNumber(uint16_t number) {
  if (number < kNumberLimit) {
    const uint8_t at = kByNumber[number];
    return at == 0 ? nullptr : &kTable[at - 1];
  }
  for (const auto& def : kTable)
    if (def.Number == number) return &def;
  return nullptr;
}

const TFuncDefinition* FindFunctionByName(std::string_view name) {
  for (const auto& def : kTable)
    if (platform::AnsiSameText(def.Name, name)) return &def;
  return nullptr;
}

}  // namespace formulas
