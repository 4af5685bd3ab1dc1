// formula_bits: evaluates every case of the formula case files and prints each result with
// its exact bits, then the number formats of a table of awkward values and the portable elementary
// functions on pseudo-random arguments, one line each. The Linux build and the Windows build must
// print the same text (crossbuild.cmake compares).
//
//   formula_bits <folder of *.txt case files>
//
// Exit codes: 0 printed, 1 the folder could not be read.
#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "formulas/FormulaCaseScript.h"
#include "formulas/FormulaTestBook.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/PortableMath.h"
#include "workbook/SSUtils.h"

namespace formulas::test {
namespace {

// "0x3FF0000000000000 1" : the bits, then the 17-digit text for the reader.
std::string NumberBits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char buf[64];
  std::snprintf(buf, sizeof buf, "0x%016" PRIX64 " ", bits);
  std::string out = buf;
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
  return out.append(buf, r.ptr);
}

std::string ResultText(const EvalResult& r) {
  switch (r.kind) {
    case 0:
      return "none";
    case ptgNum:
      return "num " + NumberBits(r.number);
    case ptgStr:
      return "text " + r.text;
    case ptgBool:
      return r.boolean ? "bool TRUE" : "bool FALSE";
    default:
      return "err " + r.text;
  }
}

void RunFile(const std::filesystem::path& path, std::ostream& out) {
  std::ifstream in(path);
  FormulaTestBook book;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (const size_t note = line.find("   ## "); note != std::string::npos) line.resize(note);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const std::string t = TrimCaseLine(line);
    if (t.empty() || t[0] == '#') continue;
    const std::string where = path.filename().string() + ":" + std::to_string(lineNo);
    try {
      std::string message;
      const SetupResult setup = ApplySetupCommand(book, line, t, message);
      if (setup == SetupResult::Failed) out << where << "\tsetup failed: " << message << "\n";
      if (setup != SetupResult::NotSetup || t[0] != '=') continue;
      const std::string formula = t.substr(0, t.find(" => "));
      const EvalResult r = Evaluate(book, formula);
      out << where << "\t" << formula << "\t" << ResultText(r) << "\tshown " << r.shown << "\n";
    } catch (const std::exception& e) {
      out << where << "\texception: " << e.what() << "\n";
    }
  }
}

// Values whose decimal rounding differs from their binary one, or lies on a half.
constexpr double kFormatValues[] = {2.675,     1.005,      0.125,      0.045,
                                    9.995,     -2.5,       1.0 / 3,    2.0 / 3,
                                    1e-7,      123456.785, 1e15 + 0.3, 0.1 + 0.2,
                                    1234567.5, -0.0049999, 5e-324,     1.7976931348623157e308};
constexpr uint16_t kFormatCodes[] = {0, 1, 2, 3, 4, 7, 10, 11, 48, 12};

void PrintFormats(std::ostream& out) {
  for (double v : kFormatValues) {
    out << "format " << NumberBits(v);
    for (uint16_t code : kFormatCodes)
      out << "\t" << code << ":" << workbook::TSSUtils::FormatNumber(code, 2, v);
    out << "\n";
  }
}

// The portable functions themselves on arguments made with integer arithmetic only (so both
// builds make the same ones): 1 + m/2^53 scaled by 2^e, e in [lowExp, highExp), of either sign.
class Arguments {
 public:
  explicit Arguments(uint64_t seed) : state_(seed) {}
  double Next(int lowExp, int highExp, bool signs) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    const double mantissa = 1 + static_cast<double>(state_ >> 11) * 0x1p-53;
    const int e =
        lowExp + static_cast<int>((state_ & 0xFFFF) % static_cast<uint64_t>(highExp - lowExp));
    const double x = std::ldexp(mantissa, e);
    return signs && (state_ & 0x10000) ? -x : x;
  }

 private:
  uint64_t state_;
};

void PrintMath(std::ostream& out) {
  namespace m = platform::math;
  struct Function {
    const char* name;
    double (*f)(double);
    int lowExp, highExp;
    bool signs;
  };
  const Function functions[] = {
      {"Sin", m::Sin, -30, 1024, true},     {"Cos", m::Cos, -30, 1024, true},
      {"Tan", m::Tan, -30, 60, true},       {"Exp", m::Exp, -40, 10, true},
      {"Log", m::Log, -1074, 1024, false},  {"Log10", m::Log10, -1022, 1024, false},
      {"Asin", m::Asin, -40, 0, true},      {"Acos", m::Acos, -40, 0, true},
      {"Atan", m::Atan, -40, 80, true},     {"Sinh", m::Sinh, -40, 10, true},
      {"Cosh", m::Cosh, -40, 10, true},     {"Tanh", m::Tanh, -40, 5, true},
      {"Asinh", m::Asinh, -40, 1000, true}, {"Acosh", m::Acosh, 0, 1000, false},
      {"Atanh", m::Atanh, -40, 0, true},
  };
  Arguments args(0x9E3779B97F4A7C15ull);
  for (const Function& f : functions)
    for (int i = 0; i < 400; ++i) {
      const double x = args.Next(f.lowExp, f.highExp, f.signs);
      out << "math " << f.name << " " << NumberBits(x) << " " << NumberBits(f.f(x)) << "\n";
    }
  for (int i = 0; i < 800; ++i) {
    const double x = args.Next(-20, 20, i % 2 == 0), y = args.Next(-6, 6, true);
    out << "math Pow " << NumberBits(x) << " " << NumberBits(y) << " " << NumberBits(m::Pow(x, y))
        << "\n";
    out << "math Atan2 " << NumberBits(x) << " " << NumberBits(y) << " "
        << NumberBits(m::Atan2(x, y)) << "\n";
  }
}

int Main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: formula_bits <folder of case files>\n";
    return 1;
  }
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(argv[1], ec))
    if (e.path().extension() == ".txt") files.push_back(e.path());
  if (ec || files.empty()) {
    std::cerr << "formula_bits: no case files in " << argv[1] << "\n";
    return 1;
  }
  std::sort(files.begin(), files.end());
  platform::ScopedLocale locale(platform::LocaleSettings::EnglishUS());
  platform::SetNowOverride([] { return 45292.5; });  // as the case test: 1 January 2024, noon
  for (const auto& f : files) RunFile(f, std::cout);
  PrintFormats(std::cout);
  PrintMath(std::cout);
  platform::SetNowOverride(nullptr);
  return 0;
}

}  // namespace
}  // namespace formulas::test

int main(int argc, char** argv) {
  try {
    return formulas::test::Main(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "formula_bits: " << e.what() << "\n";
    return 1;
  }
}
