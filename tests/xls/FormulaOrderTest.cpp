// Formulas keep their operators' order across the file in both directions, on random
// expression trees over + - * / ^ & < = <>, unary minus, percent and SUM:
//  - read: the file's postfix tokens, written as a peer writes them (no brackets), become text
//    that the engine's parser compiles back to the same tree;
//  - write: the engine's tokens become file tokens that a peer, reading them as infix text with
//    its own operator order and brackets only where a ptgParen stands, parses to the same tree.
// Trees are compared as canonical signatures of their postfix form; a chain of unary minus and
// percent counts its operators, as -x% and (-x)% are the same number.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "formulas/TokenBlock.h"
#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/Workbook.h"
#include "xls/book/FileTokenWriter.h"
#include "xls/formula/PtgTable.h"
#include "xls/formula/TFormulaReader.h"

namespace xls {
namespace {

constexpr uint8_t kSumNumber = 4;

// One postfix symbol, the same for file tokens, engine tokens and the trees below.
struct Symbol {
  enum Kind { Operand, Binary, Unary, Call } kind = Operand;
  std::string text;  // Operand: "R2C1" or "N7"; Binary, Unary: the ptg kind; Call: "SUM/2"
};

// The canonical signature of a postfix symbol list; empty when it is not exactly one value.
std::string Signature(const std::vector<Symbol>& symbols) {
  struct Item {
    std::string text;
    int negs = 0, percents = 0;  // a pending chain of unary operators over `text`
    std::string Closed() const {
      if (negs == 0 && percents == 0) return text;
      return "[" + text + " u" + std::to_string(negs) + "p" + std::to_string(percents) + "]";
    }
  };
  std::vector<Item> stack;
  for (const Symbol& s : symbols) {
    switch (s.kind) {
      case Symbol::Operand:
        stack.push_back({s.text});
        break;
      case Symbol::Unary:
        if (stack.empty()) return {};
        (s.text == std::to_string(ptg::kPercent) ? stack.back().percents : stack.back().negs)++;
        break;
      case Symbol::Binary: {
        if (stack.size() < 2) return {};
        const std::string right = stack.back().Closed();
        stack.pop_back();
        stack.back() = {"(" + stack.back().Closed() + " " + right + " op" + s.text + ")"};
        break;
      }
      case Symbol::Call: {
        const size_t n = static_cast<size_t>(std::stoi(s.text.substr(s.text.find('/') + 1)));
        if (stack.size() < n) return {};
        std::string call = s.text + "(";
        for (size_t i = stack.size() - n; i < stack.size(); ++i) call += stack[i].Closed() + ";";
        stack.resize(stack.size() - n);
        stack.push_back({call + ")"});
        break;
      }
    }
  }
  return stack.size() == 1 ? stack[0].Closed() : std::string();
}

std::string CellName(int col, int row) {
  return "R" + std::to_string(row) + "C" + std::to_string(col);
}

// File token bytes to symbols; ptgParen is dropped (it changes no value).
std::vector<Symbol> FileSymbols(const std::vector<uint8_t>& b) {
  std::vector<Symbol> out;
  for (size_t i = 0; i < b.size();) {
    const uint8_t k = b[i];
    if (k == 0x44) {
      out.push_back({Symbol::Operand, CellName(b[i + 3] & 0x3F, b[i + 1] | b[i + 2] << 8)});
      i += 5;
    } else if (k == ptg::kInt) {
      out.push_back({Symbol::Operand, "N" + std::to_string(b[i + 1] | b[i + 2] << 8)});
      i += 3;
    } else if (k == ptg::kNum) {
      double v = 0;
      std::memcpy(&v, &b[i + 1], 8);
      out.push_back({Symbol::Operand, "N" + std::to_string(static_cast<int>(v))});
      i += 9;
    } else if (k == 0x42) {
      out.push_back({Symbol::Call, "SUM/" + std::to_string(b[i + 1])});
      i += 4;
    } else if (k == ptg::kUminus || k == ptg::kPercent) {
      out.push_back({Symbol::Unary, std::to_string(k)});
      ++i;
    } else if (k == ptg::kParen) {
      ++i;
    } else {
      out.push_back({Symbol::Binary, std::to_string(k)});
      ++i;
    }
  }
  return out;
}

std::vector<Symbol> EngineSymbols(const std::string& bytes) {
  using namespace formulas;
  const std::span<const uint8_t> t(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  std::vector<Symbol> out;
  for (size_t pos = 0; pos < t.size();) {
    const size_t size = TokenSizeAt(t, pos);
    if (size == 0) return {};
    const uint8_t* p = t.data() + pos;
    if (p[0] == ptgRef) {
      const RefToken r = ReadRefToken(p);
      out.push_back({Symbol::Operand, CellName(r.col, r.row)});
    } else if (p[0] == ptgNum) {
      out.push_back({Symbol::Operand, "N" + std::to_string(static_cast<int>(ReadNumberToken(p)))});
    } else if (p[0] == ptgFuncVar) {
      out.push_back({Symbol::Call, "SUM/" + std::to_string(p[1])});
    } else if (p[0] == ptgUminus || p[0] == ptgPercent) {
      out.push_back({Symbol::Unary, std::to_string(p[0])});
    } else if (p[0] != ptgParen) {
      out.push_back({Symbol::Binary, std::to_string(p[0])});
    }
    pos += size;
  }
  return out;
}

// A random tree, written as postfix symbols, as file bytes and as engine tokens at once.
struct RandomFormula {
  std::vector<Symbol> symbols;
  std::vector<uint8_t> file;
  formulas::TokenBlock engine;
};

class TreeMaker {
 public:
  explicit TreeMaker(uint32_t seed) : rng_(seed) {}
  RandomFormula Make() {
    RandomFormula f;
    Node(f, 0);
    return f;
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  void Node(RandomFormula& f, int depth) {
    static const uint8_t kBinary[] = {ptg::kAdd,    ptg::kSub, ptg::kMul, ptg::kDiv, ptg::kPower,
                                      ptg::kConcat, ptg::kLt,  ptg::kEq,  ptg::kNe};
    const int choice = depth >= 4 ? 0 : Pick(10);
    if (choice <= 1) {  // an operand: a cell or a small number
      if (Pick(3) == 0) {
        const uint16_t v = static_cast<uint16_t>(1 + Pick(9));
        f.symbols.push_back({Symbol::Operand, "N" + std::to_string(v)});
        f.file.insert(f.file.end(), {ptg::kInt, static_cast<uint8_t>(v), 0});
        f.engine.Append(formulas::MakeNumberToken(v));
      } else {
        const int row = Pick(3), col = Pick(3);
        f.symbols.push_back({Symbol::Operand, CellName(col, row)});
        f.file.insert(f.file.end(), {0x44, static_cast<uint8_t>(row), 0, static_cast<uint8_t>(col),
                                     0});  // absolute: no relative bits
        f.engine.Append(formulas::MakeRefToken({true, true, row, col}));
      }
    } else if (choice <= 7) {
      const uint8_t op = kBinary[Pick(9)];
      Node(f, depth + 1);
      Node(f, depth + 1);
      Operator(f, Symbol::Binary, op);
    } else if (choice == 8) {
      Node(f, depth + 1);
      Operator(f, Symbol::Unary, Pick(2) ? ptg::kUminus : ptg::kPercent);
    } else {
      const int n = 1 + Pick(2);
      for (int i = 0; i < n; ++i) Node(f, depth + 1);
      f.symbols.push_back({Symbol::Call, "SUM/" + std::to_string(n)});
      f.file.insert(f.file.end(), {0x42, static_cast<uint8_t>(n), kSumNumber, 0});
      f.engine.Append(formulas::MakeFuncVarToken(static_cast<uint8_t>(n), kSumNumber));
    }
  }
  static void Operator(RandomFormula& f, Symbol::Kind kind, uint8_t op) {
    f.symbols.push_back({kind, std::to_string(op)});
    f.file.push_back(op);
    f.engine.AppendByte(op);
  }
  std::mt19937 rng_;
};

// How a peer reads file tokens: as infix text with brackets only where ptgParen stands, parsed
// with its own order (unary minus, %, ^, * /, + -, &, comparisons; all binary operators
// associate to the left).
class PeerReading {
 public:
  explicit PeerReading(const std::vector<uint8_t>& file) {
    std::vector<std::vector<std::string>> stack;
    for (size_t i = 0; i < file.size();) {
      const uint8_t k = file[i];
      if (k == 0x44 || k == ptg::kInt || k == ptg::kNum || k == 0x42) {
        const size_t size = k == 0x44 ? 5 : k == ptg::kInt ? 3 : k == ptg::kNum ? 9 : 4;
        std::vector<Symbol> one = FileSymbols({file.begin() + i, file.begin() + i + size});
        i += size;
        if (one[0].kind == Symbol::Operand) {
          stack.push_back({one[0].text});
          continue;
        }
        const size_t n = file[i - 3];
        std::vector<std::string> call = {"SUM("};
        for (size_t a = stack.size() - n; a < stack.size(); ++a) {
          if (a > stack.size() - n) call.push_back(",");
          call.insert(call.end(), stack[a].begin(), stack[a].end());
        }
        call.push_back(")");
        stack.resize(stack.size() - n);
        stack.push_back(call);
        continue;
      }
      ++i;
      if (k == ptg::kParen) {
        stack.back().insert(stack.back().begin(), "(");
        stack.back().push_back(")");
      } else if (k == ptg::kUminus) {
        stack.back().insert(stack.back().begin(), "-u");
      } else if (k == ptg::kPercent) {
        stack.back().push_back("%");
      } else {
        std::vector<std::string> right = stack.back();
        stack.pop_back();
        stack.back().push_back(std::to_string(k));
        stack.back().insert(stack.back().end(), right.begin(), right.end());
      }
    }
    if (stack.size() == 1) infix_ = stack[0];
  }
  std::vector<Symbol> Parse() {
    pos_ = 0;
    Expression(1);
    return out_;
  }
  std::string Text() const {
    std::string s;
    for (const auto& t : infix_) s += t + " ";
    return s;
  }

 private:
  static int Level(const std::string& op) {
    static const std::map<std::string, int> kLevels = {
        {"7", 5}, {"5", 4}, {"6", 4}, {"3", 3}, {"4", 3}, {"8", 2}, {"9", 1}, {"11", 1}, {"14", 1}};
    auto it = kLevels.find(op);
    return it == kLevels.end() ? 0 : it->second;
  }
  void Expression(int minLevel) {
    Operand();
    while (pos_ < infix_.size() && Level(infix_[pos_]) >= minLevel) {
      const std::string op = infix_[pos_++];
      Expression(Level(op) + 1);
      out_.push_back({Symbol::Binary, op});
    }
  }
  void Operand() {
    const std::string t = infix_.at(pos_++);
    if (t == "-u") {
      // Negation takes only the operand right after it; a following % applies to the negated
      // value.
      Prefixed();
      out_.push_back({Symbol::Unary, std::to_string(ptg::kUminus)});
    } else {
      Primary(t);
    }
    while (pos_ < infix_.size() && infix_[pos_] == "%") {
      ++pos_;
      out_.push_back({Symbol::Unary, std::to_string(ptg::kPercent)});
    }
  }
  void Prefixed() {
    const std::string t = infix_.at(pos_++);
    if (t == "-u") {
      Prefixed();
      out_.push_back({Symbol::Unary, std::to_string(ptg::kUminus)});
    } else {
      Primary(t);
    }
  }
  void Primary(const std::string& t) {
    if (t == "(") {
      Expression(1);
      ++pos_;  // ")"
    } else if (t == "SUM(") {
      int n = 0;
      while (infix_.at(pos_) != ")") {
        if (infix_[pos_] == ",") ++pos_;
        Expression(1);
        ++n;
      }
      ++pos_;
      out_.push_back({Symbol::Call, "SUM/" + std::to_string(n)});
    } else {
      out_.push_back({Symbol::Operand, t});
    }
  }
  std::vector<std::string> infix_;
  size_t pos_ = 0;
  std::vector<Symbol> out_;
};

class MinimalSource : public FormulaTextSource {
 public:
  size_t NameCount() const override { return 0; }
  std::string NameText(size_t) const override { return {}; }
  size_t ExternSheetCount() const override { return 0; }
  uint16_t ExternSheetFirst(size_t) const override { return 0; }
  size_t SheetCount() const override { return 1; }
  std::string SheetName(size_t) const override { return "Sheet1"; }
  std::optional<FormulaFunctionInfo> Function(uint16_t n) const override {
    if (n == kSumNumber) return FormulaFunctionInfo{"SUM", 0};
    return std::nullopt;
  }
  std::string ColumnCaption(int32_t c) const override { return std::string(1, char('A' + c)); }
  std::string NumberText(double v) const override { return std::to_string(int(v)); }
  std::string ErrorText(uint8_t) const override { return {}; }
  void ReportInvalidName(const std::string&) override {}
};

class FormulaOrder : public ::testing::Test {
 protected:
  // The engine's tokens of `text` typed into H1.
  std::string Compiled(const std::string& text) {
    auto& sheet = book_.Sheets(0);
    sheet.CellObject(7, 0)->SetText(text);
    const workbook::TSSCellRec rec = sheet.Storage().CellRec(7, 0);
    if (rec.DataType != workbook::kCellFormula || rec.Formula == nullptr) return {};
    uint16_t count = 0;
    return book_.FormulaCache()->FormulaTokenBytes(rec.Formula, count);
  }

  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  workbook::ScopedBookServices engine_{
      testsupport::WithFormulaEngine(testsupport::ModelServices())};
  workbook::Workbook book_;
  MinimalSource source_;
  TFormulaReader reader_{source_};
};

TEST_F(FormulaOrder, FileFormulasReadBackInTheirOwnOrder) {
  TreeMaker trees(20261210);
  for (int i = 0; i < 1500; ++i) {
    const RandomFormula f = trees.Make();
    const std::string want = Signature(f.symbols);
    std::string text;
    reader_.TokensToText(7, 0, text, static_cast<uint16_t>(f.file.size()), f.file.data());
    ASSERT_EQ(Signature(EngineSymbols(Compiled(text))), want) << "file formula read as " << text;
  }
}

TEST_F(FormulaOrder, WrittenFormulasReadInTheirOwnOrderByPeers) {
  TreeMaker trees(424242);
  for (int i = 0; i < 1500; ++i) {
    const RandomFormula f = trees.Make();
    const std::string want = Signature(f.symbols);
    std::vector<uint8_t> file;
    ASSERT_TRUE(ToFileTokens(f.engine.Bytes(), 7, 0, file));
    // Only brackets were added, and a peer reading the brackets groups as the engine did.
    ASSERT_EQ(Signature(FileSymbols(file)), want);
    PeerReading peer(file);
    ASSERT_EQ(Signature(peer.Parse()), want) << "a peer reads " << peer.Text();
  }
}

TEST_F(FormulaOrder, BracketsOnlyWhereTheOtherReadingWouldRegroup) {
  struct Case {
    std::vector<uint8_t> file;  // tokens as a peer writes them
    const char* text;           // as the engine's text must show them
  };
  const uint8_t a1[] = {0x44, 0, 0, 0, 0xC0}, a2[] = {0x44, 1, 0, 0, 0xC0};  // relative
  auto cat = [](std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const std::vector<uint8_t> A1(a1, a1 + 5), A2(a2, a2 + 5), two = {ptg::kInt, 2, 0};
  const Case cases[] = {
      // (A1+A2)*(A1-A2)/A1^2 with the file's own brackets: ^ must stay the divisor.
      {cat({A1, A2, {0x03, 0x15}, A1, A2, {0x04, 0x15, 0x05}, A1, two, {0x07, 0x06}}),
       "=(A1+A2)*(A1-A2)/(A1^2)"},
      {cat({A1, A2, two, {0x07, 0x05}}), "=A1*(A2^2)"},
      {cat({A1, A2, two, {0x05, 0x03}}), "=A1+A2*2"},
      {cat({A1, A2, {0x05}, two, {0x07}}), "=A1*A2^2"},
      {cat({A1, {0x13}, two, {0x07}}), "=-A1^2"},
      {cat({A1, two, {0x07, 0x13}}), "=-(A1^2)"},
      {cat({A1, A2, two, {0x08, 0x0B}}), "=A1=(A2&2)"},
      {cat({A1, A2, {0x0B}, two, {0x08}}), "=A1=A2&2"},
      {cat({A1, A2, {0x03, 0x14}}), "=(A1+A2)%"},
      {cat({A1, {0x13, 0x14}}), "=-A1%"},
  };
  for (const Case& c : cases) {
    std::string text;
    reader_.TokensToText(7, 0, text, static_cast<uint16_t>(c.file.size()), c.file.data());
    EXPECT_EQ(text, c.text);
  }
  // And the other way: =2*3^2 typed here is (2*3)^2, which a peer needs in brackets.
  const std::string typed = Compiled("=A1*A2^2");
  std::vector<uint8_t> file;
  ASSERT_TRUE(
      ToFileTokens({reinterpret_cast<const uint8_t*>(typed.data()), typed.size()}, 7, 0, file));
  const std::vector<uint8_t> bracketed = {0x44, 0,    0, 0, 0xC0, 0x44, 1, 0, 0,
                                          0xC0,        // A1, A2 (relative to H1)
                                          0x05, 0x15,  // *, and the bracket around A1*A2
                                          0x1F, 0,    0, 0, 0,    0,    0, 0, 0x40,  // 2
                                          0x07};
  EXPECT_EQ(file, bracketed);
}

}  // namespace
}  // namespace xls
