// The dependency graph finds exactly the edges that cover a cell, whatever the size of the
// ranges (single cells up to whole columns), before and after the recent edges are merged.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>

#include "formulas/DependencyGraph.h"
#include "formulas/TSSFormulasCache.h"

namespace formulas::test {
namespace {

struct Reference {
  uint16_t sheet;
  int32_t left, top, right, bottom;
};

TEST(DependencyGraphTest, LookupsFindEveryCoveringReferenceAndNoOther) {
  std::mt19937 rng(7);
  const auto pick = [&rng](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  };
  // Sizes from one cell to whole columns, so that every level of the index is used.
  const auto extent = [&]() -> int32_t {
    switch (pick(0, 4)) {
      case 0:
        return 0;
      case 1:
        return pick(0, 20);
      case 2:
        return pick(0, 3000);
      case 3:
        return 107374181;
      default:
        return pick(0, 1 << pick(0, 26));
    }
  };
  std::deque<FormulaEntry> entries;
  std::vector<Reference> refs;
  const std::vector<TSSNameDefinition> names;
  DependencyGraph graph;
  for (int i = 0; i < 3000; ++i) {
    Reference r;
    r.sheet = static_cast<uint16_t>(pick(0, 2));
    r.left = pick(0, 300);
    r.top = pick(0, 5000);
    r.right = r.left + (pick(0, 3) == 0 ? extent() : pick(0, 3));
    r.bottom = r.top + extent();
    r.right = std::min(r.right, 107374181);
    r.bottom = std::min(r.bottom, 107374181);
    FormulaEntry& e = entries.emplace_back();
    e.Tokens = r.left == r.right && r.top == r.bottom && pick(0, 1) == 0
                   ? MakeRef3dToken(r.sheet, RefToken{true, true, r.top, r.left})
                   : MakeArea3dToken(r.sheet, AreaToken{true, true, true, true, r.top, r.bottom,
                                                        r.left, r.right});
    EXPECT_EQ(graph.AddEntry(e, names).edges, 1u);
    refs.push_back(r);
    if (i == 2000) graph.Compact();  // most edges sorted, the rest recent
  }
  for (int round = 0; round < 2; ++round) {
    for (int q = 0; q < 3000; ++q) {
      const uint16_t sheet = static_cast<uint16_t>(pick(0, 2));
      const int32_t col = q % 3 == 0 ? pick(0, 310) : refs[q].left;
      const int32_t row = q % 3 == 0 ? pick(0, 6000) : refs[q].bottom;
      std::vector<const FormulaEntry*> expected, found;
      for (size_t i = 0; i < refs.size(); ++i) {
        const Reference& r = refs[i];
        if (r.sheet == sheet && r.left <= col && col <= r.right && r.top <= row && row <= r.bottom)
          expected.push_back(&entries[i]);
      }
      graph.ForEachReader(sheet, col, row, [&found](FormulaEntry* e) { found.push_back(e); });
      std::sort(expected.begin(), expected.end());
      std::sort(found.begin(), found.end());
      ASSERT_EQ(found, expected) << "round " << round << " sheet " << sheet << " cell " << col
                                 << "," << row;
    }
    graph.Compact();
  }
  // 16 bytes a cell edge, 24 a range edge, no slack after merging.
  EXPECT_LE(graph.Bytes(), refs.size() * 24 + 4 * 128);
}

TEST(DependencyGraphTest, ScanTellsVolatileUnknownAndIgnoredReferences) {
  struct Case {
    TokenBlock tokens;
    size_t edges;
    bool isVolatile, unknown;
  };
  std::vector<TSSNameDefinition> names(2);
  names[0] = TSSNameDefinition{"Rate", 1, 2, 3, 2, 3, 0};
  names[1] = TSSNameDefinition{"Gone", 0, 0, 0, 5, 5, 1};
  TokenBlock now = MakeFuncVarToken(0, 74);
  TokenBlock broken = MakeRefToken(RefToken{});
  broken = TokenBlock(broken.Bytes().subspan(0, 5));  // cut inside the token
  const std::vector<Case> cases = {
      {MakeRefToken(RefToken{false, false, -1, 0}), 1, false, false},   // the row above
      {MakeRefToken(RefToken{false, false, -20, 0}), 0, false, false},  // before row 1: #REF!
      {MakeNameToken(0), 1, false, false},
      {MakeNameToken(1), 0, false, false},  // deleted: reads as #REF!
      {MakeNameToken(7), 0, false, false},  // no such name
      {now, 0, true, false},
      {MakeFuncVarToken(0, 63), 0, true, false},   // RAND
      {MakeFuncVarToken(0, 221), 0, true, false},  // TODAY
      {MakeFuncVarToken(1, 4), 0, false, false},   // SUM
      {MakeRef3dToken(2000, RefToken{true, true, 0, 0}), 0, false, true},
      {broken, 0, false, true},
      {MakeAreaToken(AreaToken{true, true, true, true, 5, 2, 0, 0}), 0, false, false},  // reversed
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    DependencyGraph graph;
    FormulaEntry e;
    e.Col = 4;
    e.Row = 10;
    e.Tokens = cases[i].tokens;
    const DependencyGraph::Scan scan = graph.AddEntry(e, names);
    EXPECT_EQ(scan.edges, cases[i].edges) << "case " << i;
    EXPECT_EQ(scan.isVolatile, cases[i].isVolatile) << "case " << i;
    EXPECT_EQ(scan.unknown, cases[i].unknown) << "case " << i;
  }
  // A relative reference resolves against the formula's own cell.
  DependencyGraph graph;
  FormulaEntry e;
  e.Col = 4;
  e.Row = 10;
  e.Tokens = MakeRefToken(RefToken{false, true, -1, 2});  // C10 seen from E11
  graph.AddEntry(e, names);
  int hits = 0;
  graph.ForEachReader(0, 2, 9, [&hits](FormulaEntry*) { ++hits; });
  graph.ForEachReader(0, 2, 10, [&hits](FormulaEntry*) { hits += 10; });
  EXPECT_EQ(hits, 1);
}

}  // namespace
}  // namespace formulas::test
