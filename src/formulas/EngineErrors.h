#pragma once
// The formula engine's own error numbering and its exception.
//
// Worksheet errors are values: a pending code in the handler that decides the formula's
// result at the end of the walk. ECalculationError is raised only for a broken stream (a pop
// from an empty stack) or a function that produced nothing; the engine catches it itself.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace formulas {

enum class EngineError : uint8_t {
  None = 0,
  Null = 1,   // "#NULL!"
  Div0 = 2,   // "#DIV/0!"
  Value = 3,  // "#VALUE!"
  Ref = 4,    // "#REF!"
  Name = 5,   // "#NAME!"
  Num = 6,    // "#NUM!"
  NA = 7,     // "#N/A!"
};

// The literal of an engine error code (1..7); the empty text for anything else.
std::string_view EngineErrorText(uint8_t code);
// Whether `text` is one of those literals.
bool IsEngineErrorText(std::string_view text);

class ECalculationError : public std::runtime_error {
 public:
  explicit ECalculationError(const std::string& message) : std::runtime_error(message) {}
};

// Message texts of the engine, exactly as users see them.
inline constexpr std::string_view kMsgParenExpected = "Error - symbol ')' expected!";
inline constexpr std::string_view kMsgUnterminatedString = "Error - unterminated string!";
inline constexpr std::string_view kMsgUnknownExpression = "Unknown string expression";
inline constexpr std::string_view kMsgSyntax = "Error syntax in string expression";
inline constexpr std::string_view kMsgConstructing =
    "Error constructing formula. Parsed expression error offset at";
inline constexpr std::string_view kMsgMissingTokens = "Missing tokens";
inline constexpr std::string_view kMsgUnknownToken = "Unknown token in expression";
inline constexpr std::string_view kMsgNeedResult = "Function need result";
inline constexpr std::string_view kMsgCycle = "Calculation error. Formula cycled indexes present";
inline constexpr std::string_view kMsgInvalidPage = "Invalid page number";

}  // namespace formulas
