#pragma once
// The routines of the worksheet functions, grouped by family. Each pops its own arguments
// (last argument first) and pushes exactly one result. A routine that raises an error code
// still pushes a placeholder value, so that IF can drop an error of the branch it does not
// choose.
#include "formulas/TSSFunctionHandler.h"

namespace formulas::routines {

// Aggregates (FunctionsAggregate.cpp)
void Sum(TSSFunctionHandler& h);
void SumSq(TSSFunctionHandler& h);
void Max(TSSFunctionHandler& h);
void Min(TSSFunctionHandler& h);
void Count(TSSFunctionHandler& h);
void CountA(TSSFunctionHandler& h);
void CountBlank(TSSFunctionHandler& h);
void CountIf(TSSFunctionHandler& h);
void Average(TSSFunctionHandler& h);
void AverageA(TSSFunctionHandler& h);
void And(TSSFunctionHandler& h);
void Or(TSSFunctionHandler& h);
void Concatenate(TSSFunctionHandler& h);
void IsBlank(TSSFunctionHandler& h);

// Logic and information (FunctionsLogic.cpp)
void If(TSSFunctionHandler& h);
void Not(TSSFunctionHandler& h);
void True(TSSFunctionHandler& h);
void False(TSSFunctionHandler& h);
void IsNumber(TSSFunctionHandler& h);
void IsLogical(TSSFunctionHandler& h);
void IsText(TSSFunctionHandler& h);
void IsNonText(TSSFunctionHandler& h);
void IsNA(TSSFunctionHandler& h);
void IsError(TSSFunctionHandler& h);

// Arithmetic and rounding (FunctionsMath.cpp)
void Abs(TSSFunctionHandler& h);
void Sign(TSSFunctionHandler& h);
void Sqrt(TSSFunctionHandler& h);
void Exp(TSSFunctionHandler& h);
void Ln(TSSFunctionHandler& h);
void Log10(TSSFunctionHandler& h);
void Log(TSSFunctionHandler& h);
void Power(TSSFunctionHandler& h);
void Pi(TSSFunctionHandler& h);
void Int(TSSFunctionHandler& h);
void Trunc(TSSFunctionHandler& h);
void Round(TSSFunctionHandler& h);
void RoundDown(TSSFunctionHandler& h);
void RoundUp(TSSFunctionHandler& h);
void Ceiling(TSSFunctionHandler& h);
void Floor(TSSFunctionHandler& h);
void Even(TSSFunctionHandler& h);
void Odd(TSSFunctionHandler& h);
void Mod(TSSFunctionHandler& h);
void Fact(TSSFunctionHandler& h);
void Rand(TSSFunctionHandler& h);

// Trigonometry (FunctionsTrig.cpp)
void Radians(TSSFunctionHandler& h);
void Degrees(TSSFunctionHandler& h);
void Sin(TSSFunctionHandler& h);
void Cos(TSSFunctionHandler& h);
void Tan(TSSFunctionHandler& h);
void Asin(TSSFunctionHandler& h);
void Acos(TSSFunctionHandler& h);
void Atan(TSSFunctionHandler& h);
void Atan2(TSSFunctionHandler& h);
void Sinh(TSSFunctionHandler& h);
void Cosh(TSSFunctionHandler& h);
void Tanh(TSSFunctionHandler& h);
void Asinh(TSSFunctionHandler& h);
void Acosh(TSSFunctionHandler& h);
void Atanh(TSSFunctionHandler& h);

// Text (FunctionsText.cpp)
void Len(TSSFunctionHandler& h);
void Lower(TSSFunctionHandler& h);
void Upper(TSSFunctionHandler& h);
void Trim(TSSFunctionHandler& h);
void Left(TSSFunctionHandler& h);
void Right(TSSFunctionHandler& h);
void Mid(TSSFunctionHandler& h);
void Dollar(TSSFunctionHandler& h);
void Fixed(TSSFunctionHandler& h);

// Date and time (FunctionsDateTime.cpp)
void Date(TSSFunctionHandler& h);
void Time(TSSFunctionHandler& h);
void Today(TSSFunctionHandler& h);
void Now(TSSFunctionHandler& h);
void Year(TSSFunctionHandler& h);
void Month(TSSFunctionHandler& h);
void Day(TSSFunctionHandler& h);
void Hour(TSSFunctionHandler& h);
void Minute(TSSFunctionHandler& h);
void Second(TSSFunctionHandler& h);
void Weekday(TSSFunctionHandler& h);

// Pops `count` values and drops them.
void DropArguments(TSSFunctionHandler& h, int32_t count);

}  // namespace formulas::routines
