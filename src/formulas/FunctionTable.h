#pragma once
// The table of the 81 worksheet functions: name, file function number, the argument count a
// fixed-argument file token assumes, and the routine that pops its arguments from the
// handler's stack and pushes one result.
#include <cstdint>
#include <span>
#include <string_view>

namespace formulas {

class TSSFunctionHandler;
using FunctionRoutine = void (*)(TSSFunctionHandler& handler);

struct TFuncDefinition {
  uint16_t Number;
  std::string_view Name;  // upper case
  FunctionRoutine Routine;
  uint8_t Reserved;  // 0 in every entry
  uint8_t FixedArgs;
};

// All 81 definitions in table order.
std::span<const TFuncDefinition> FunctionTable();
// nullptr when not found. The name is compared without regard to case.
const TFuncDefinition* FindFunctionByNumber(uint16_t number);
const TFuncDefinition* FindFunctionByName(std::string_view name);

// The argument counts a routine accepts. A call outside them is a #VALUE! error: its
// arguments are dropped, and the routine never takes values from further down the stack.
struct FunctionArity {
  uint8_t min;
  uint8_t max;
};
FunctionArity ArityOf(const TFuncDefinition& def);

}  // namespace formulas
