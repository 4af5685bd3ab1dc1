#pragma once
// The elementary functions of the formula engine, computed by our own code from IEEE
// additions, multiplications, divisions and square roots only, so that the Linux build and
// the 32-bit Windows build give the same bits (the C runtimes' libraries differ from each
// other, and the 32-bit one partly uses the x87 unit, whose sine reduces large arguments with
// a 66-bit pi).
//
// Every function works in double-double arithmetic and rounds once at the end: the result is
// within 1 ulp of the exact value (in practice the correctly rounded double) over the whole
// domain, subnormal results excepted, which may round twice. Special arguments (NaN,
// infinities, zeros, poles, values outside the domain) give what the C library gives: NaN,
// an infinity or a signed zero, never an exception.
namespace platform::math {

double Exp(double x);
double Log(double x);  // natural logarithm
double Log10(double x);
double Pow(double x, double y);
double Power10(int n);  // 10^n correctly rounded: 0 below 10^-323, infinity above 10^308

double Sin(double x);
double Cos(double x);
double Tan(double x);
double Asin(double x);
double Acos(double x);
double Atan(double x);
double Atan2(double y, double x);

double Sinh(double x);
double Cosh(double x);
double Tanh(double x);
double Asinh(double x);
double Acosh(double x);
double Atanh(double x);

}  // namespace platform::math
