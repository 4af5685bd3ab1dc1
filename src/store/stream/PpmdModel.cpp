#include "store/stream/PpmdModel.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace store::ppmd {

namespace {
constexpr int kMaxFreq = 124;
constexpr int kInterval = 1 << Model::kIntBits;
constexpr int kBinScale = kInterval << Model::kPeriodBits;
constexpr uint32_t kStateSize = 6;

constexpr uint16_t kInitBinEsc[16] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3, 0x5FFB, 0x5545,
                                      0x63D1, 0x5D9D, 0x64A1, 0x5ABC, 0x6632, 0x6051,
                                      0x68F6, 0x549B, 0x6BCA, 0x3AB0};
// Initial escape frequencies for an exponential symbol distribution, by binary-context mean.
constexpr uint8_t kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

inline uint32_t BinMean(uint32_t summ) {
  return (summ + (1 << (Model::kPeriodBits - 2))) >> Model::kPeriodBits;
}

[[noreturn]] void Broken() { throw PpmdError("PPMd model inconsistent"); }
}  // namespace

void Model::See2Context::Init(int initVal) {
  shift = kPeriodBits - 4;
  summ = static_cast<uint16_t>(initVal << shift);
  count = 3;
}

uint32_t Model::See2Context::Mean() {
  uint32_t r = summ >> shift;
  summ = static_cast<uint16_t>(summ - r);
  r &= 0x03FF;
  return r + (r == 0);
}

void Model::See2Context::Update() {
  if (shift < kPeriodBits && --count == 0) {
    summ = static_cast<uint16_t>(summ + summ);
    count = static_cast<uint8_t>(3 << shift++);
  }
}

Model::Model(uint32_t megabytes, int maxOrder) : heap_(megabytes), maxOrder_(maxOrder) {
  if (maxOrder < 1 || maxOrder > kMaxOrder) throw PpmdError("PPMd order out of range");
  StartModel();
}

void Model::SwapStates(uint32_t a, uint32_t b) {
  uint8_t ta[kStateSize], tb[kStateSize];
  heap_.Load(ta, a, kStateSize);
  heap_.Load(tb, b, kStateSize);
  heap_.Store(a, tb, kStateSize);
  heap_.Store(b, ta, kStateSize);
}

uint32_t Model::FindState(uint32_t c, uint32_t symbol) const {
  uint32_t p = Stats(c);
  for (uint32_t n = NumStats(c); n > 0; n--, p += kStateSize)
    if (Sym(p) == symbol) return p;
  Broken();
}

uint32_t Model::NewContext() {
  const uint32_t c = heap_.AllocContext();
  if (c != 0) SetNumStats(c, 0);
  return c;
}

// A binary context below `suffix`, made the successor of `parentState`. Its inline symbol
// is left for the caller to fill in.
uint32_t Model::NewContext(uint32_t parentState, uint32_t suffix) {
  const uint32_t c = heap_.AllocContext();
  if (c != 0) {
    SetNumStats(c, 1);
    SetSuffix(c, suffix);
    SetSucc(parentState, c);
  }
  return c;
}

// Fresh model: an order-0 context with all 256 symbols at frequency 1 and a chain of
// binary placeholder contexts up to the maximum order, plus the initial estimator tables.
void Model::StartModel() {
  heap_.Init();
  maxContext_ = NewContext();
  if (maxContext_ == 0) Broken();
  SetSuffix(maxContext_, 0);
  SetNumStats(maxContext_, 256);
  SetSummFreq(maxContext_, 256 + 1);
  const uint32_t stats = heap_.AllocUnitsRare(256 / 2);
  if (stats == 0) Broken();
  SetStats(maxContext_, stats);
  prevSuccess_ = 0;
  for (uint32_t i = 0; i < 256; i++) {
    const uint32_t s = stats + i * kStateSize;
    SetSym(s, i);
    SetFreq(s, 1);
    SetSucc(s, 0);
  }
  uint32_t p = stats;
  for (int i = orderFall_ = 1;; i++) {
    maxContext_ = NewContext(p, maxContext_);
    if (maxContext_ == 0) Broken();
    if (i == maxOrder_) break;
    p = OneState(maxContext_);
    SetSym(p, 0);
    SetFreq(p, 1);
  }
  SetNumStats(maxContext_, 0);
  medContext_ = minContext_ = Suffix(maxContext_);

  for (int i = 0; i < 128; i++)
    for (int k = 0; k < 16; k++)
      binSumm_[i][k] = static_cast<uint16_t>(kBinScale - kInitBinEsc[k] / (i + 2));
  int i = 0;
  for (; i < 6; i++) ns2BsIndx_[i] = static_cast<uint8_t>(2 * i);
  for (; i < 50; i++) ns2BsIndx_[i] = 12;
  for (; i < 256; i++) ns2BsIndx_[i] = 14;
  for (i = 0; i < 43; i++)
    for (int k = 0; k < 8; k++) see2_[i][k].Init(4 * i + 10);
  see2_[43][0].shift = kPeriodBits;  // the order-0 escape estimator never adapts
  for (i = 0; i < 4; i++) ns2Indx_[i] = static_cast<uint8_t>(i);
  for (; i < 4 + 8; i++) ns2Indx_[i] = static_cast<uint8_t>(4 + ((i - 4) >> 1));
  for (; i < 4 + 8 + 32; i++) ns2Indx_[i] = static_cast<uint8_t>(4 + 4 + ((i - 4 - 8) >> 2));
  for (; i < 256; i++) ns2Indx_[i] = static_cast<uint8_t>(4 + 4 + 8 + ((i - 4 - 8 - 32) >> 3));
  ClearMask();
}

void Model::ClearMask() {
  escCount_ = 1;
  std::memset(charMask_, 0, sizeof charMask_);
}

// Halves the frequencies of context `c` (the found symbol first), keeps the table sorted by
// frequency, drops symbols that fell to 0 and shrinks the table to match.
void Model::Rescale(uint32_t c) {
  const int oldNs = static_cast<int>(NumStats(c));
  int i = oldNs - 1;
  const uint32_t stats = Stats(c);
  uint32_t p = foundState_;
  for (; p != stats; p -= kStateSize) SwapStates(p, p - kStateSize);
  SetFreq(stats, Freq(stats) + 4);
  SetSummFreq(c, SummFreq(c) + 4);
  int escFreq = static_cast<int>(SummFreq(c)) - static_cast<int>(Freq(p));
  const uint32_t adder = (orderFall_ != 0);
  SetFreq(p, (Freq(p) + adder) >> 1);
  SetSummFreq(c, Freq(p));
  do {
    p += kStateSize;
    escFreq -= static_cast<int>(Freq(p));
    SetFreq(p, (Freq(p) + adder) >> 1);
    SetSummFreq(c, SummFreq(c) + Freq(p));
    if (Freq(p) > Freq(p - kStateSize)) {
      uint8_t tmp[kStateSize];
      uint32_t p1 = p;
      heap_.Load(tmp, p1, kStateSize);
      do {
        CopyState(p1, p1 - kStateSize);
        p1 -= kStateSize;
      } while (p1 != stats && tmp[1] > Freq(p1 - kStateSize));
      heap_.Store(p1, tmp, kStateSize);
    }
  } while (--i > 0);
  if (Freq(p) == 0) {
    do {
      i++;
      p -= kStateSize;
    } while (Freq(p) == 0);
    escFreq += i;
    SetNumStats(c, NumStats(c) - static_cast<uint32_t>(i));
    if (NumStats(c) == 1) {
      uint8_t tmp[kStateSize];
      heap_.Load(tmp, stats, kStateSize);
      do {
        tmp[1] = static_cast<uint8_t>(tmp[1] - (tmp[1] >> 1));
        escFreq >>= 1;
      } while (escFreq > 1);
      heap_.FreeUnits(stats, (oldNs + 1) >> 1);
      foundState_ = OneState(c);
      heap_.Store(foundState_, tmp, kStateSize);
      return;
    }
  }
  escFreq -= escFreq >> 1;
  SetSummFreq(c, SummFreq(c) + static_cast<uint32_t>(escFreq));
  const int n0 = (oldNs + 1) >> 1, n1 = (static_cast<int>(NumStats(c)) + 1) >> 1;
  if (n0 != n1) SetStats(c, heap_.ShrinkUnits(stats, n0, n1));
  foundState_ = Stats(c);
}

// Gives the placeholder successor of the found symbol real statistics: walks down the
// suffixes while they share that placeholder, then builds binary contexts back up, each
// holding the symbol that followed, with a frequency inherited from the shorter context.
bool Model::MakeRoot(uint32_t skipCount, uint32_t p1) {
  uint32_t pc = minContext_;
  const uint32_t upBranch = Succ(foundState_);
  const uint32_t foundSym = Sym(foundState_);
  uint32_t ps[kMaxOrder + 1];
  int n = 0;
  uint32_t p = 0;
  bool walk = true;
  if (skipCount == 0) {
    ps[n++] = foundState_;
    if (Suffix(pc) == 0) walk = false;
  } else if (skipCount == 2) {
    pc = Suffix(pc);
  }
  if (walk) {
    bool entry = p1 != 0;
    if (entry) {
      p = p1;
      pc = Suffix(pc);
    }
    do {
      if (!entry) {
        pc = Suffix(pc);
        p = NumStats(pc) != 1 ? FindState(pc, foundSym) : OneState(pc);
      }
      entry = false;
      if (Succ(p) != upBranch) {
        pc = Succ(p);
        break;
      }
      if (n > kMaxOrder) Broken();
      ps[n++] = p;
    } while (Suffix(pc) != 0);
  }
  const uint32_t upState = OneState(upBranch);
  if (NumStats(pc) != 1) {
    p = FindState(pc, Sym(upState));
    uint32_t cf = Freq(p) - 1;
    const uint32_t s0 = SummFreq(pc) - NumStats(pc) - cf;
    uint32_t f;
    if (2 * cf <= s0) {
      f = 1 + (5 * cf > s0);
    } else {
      if (s0 == 0) Broken();
      f = 1 + (2 * cf + 3 * s0 - 1) / (2 * s0);
    }
    SetFreq(upState, f);
  } else {
    SetFreq(upState, Freq(OneState(pc)));
  }
  while (--n >= 0) {
    pc = NewContext(ps[n], pc);
    if (pc == 0) return false;
    CopyState(OneState(pc), upState);
  }
  if (orderFall_ == 0) {
    SetNumStats(upBranch, 1);
    SetSuffix(upBranch, pc);
  }
  return true;
}

// Learns the found symbol: raises it in the suffix, adds it to every context between the
// longest one and the one that predicted it, and creates or roots its successor context.
void Model::UpdateModel() {
  uint8_t fs[kStateSize];
  heap_.Load(fs, foundState_, kStateSize);
  const uint32_t fsSymbol = fs[0], fsFreq = fs[1];
  const uint32_t fsSucc = platform::LoadU32(fs + 2);
  uint32_t p1 = 0, pc = 0, successor = 0, skipCount = 0;

  if (fsFreq < kMaxFreq / 4 && (pc = Suffix(minContext_)) != 0) {
    if (NumStats(pc) != 1) {
      p1 = Stats(pc);
      if (Sym(p1) != fsSymbol) {
        p1 = FindState(pc, fsSymbol);
        if (Freq(p1) >= Freq(p1 - kStateSize)) {
          SwapStates(p1, p1 - kStateSize);
          p1 -= kStateSize;
        }
      }
      if (Freq(p1) < 7 * kMaxFreq / 8) {
        SetFreq(p1, Freq(p1) + 2);
        SetSummFreq(pc, SummFreq(pc) + 2);
      }
    } else {
      p1 = OneState(pc);
      SetFreq(p1, Freq(p1) + (Freq(p1) < 32));
    }
  }
  if (orderFall_ == 0) {
    if (!MakeRoot(2, 0)) goto restart;
    minContext_ = medContext_ = fsSucc;
    return;
  } else if (--orderFall_ == 0) {
    successor = fsSucc;
    skipCount = 1;
  } else if ((successor = NewContext()) == 0) {
    goto restart;
  }
  if (NumStats(maxContext_) == 0) {
    SetSym(OneState(maxContext_), fsSymbol);
    SetSucc(OneState(maxContext_), successor);
  }
  {
    const uint32_t ns = NumStats(minContext_);
    const uint32_t s0 = SummFreq(minContext_) - ns - (fsFreq - 1);
    for (pc = medContext_; pc != minContext_; pc = Suffix(pc)) {
      uint32_t ns1 = NumStats(pc);
      if (ns1 != 1) {
        if ((ns1 & 1) == 0) {
          const uint32_t grown = heap_.ExpandUnits(Stats(pc), static_cast<int>(ns1 >> 1));
          SetStats(pc, grown);
          if (grown == 0) goto restart;
        }
        const uint32_t sf = SummFreq(pc);
        SetSummFreq(pc, sf + (2 * ns1 < ns) + 2 * ((4 * ns1 <= ns) & (sf <= 8 * ns1)));
      } else {
        const uint32_t p = heap_.AllocUnitsRare(1);
        if (p == 0) goto restart;
        CopyState(p, OneState(pc));
        SetStats(pc, p);
        if (Freq(p) < kMaxFreq / 4 - 1)
          SetFreq(p, Freq(p) + Freq(p));
        else
          SetFreq(p, kMaxFreq - 4);
        SetSummFreq(pc, Freq(p) + static_cast<uint32_t>(initEsc_) + (ns > 3));
      }
      uint32_t cf = 2 * fsFreq * (SummFreq(pc) + 6);
      const uint32_t sf = s0 + SummFreq(pc);
      if (cf < 6 * sf) {
        cf = 1 + (cf > sf) + (cf >= 4 * sf);
        SetSummFreq(pc, SummFreq(pc) + 3);
      } else {
        cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
        SetSummFreq(pc, SummFreq(pc) + cf);
      }
      const uint32_t p = Stats(pc) + ns1 * kStateSize;
      SetSucc(p, successor);
      SetSym(p, fsSymbol);
      SetFreq(p, cf);
      SetNumStats(pc, ++ns1);
    }
  }
  if (fsSucc != 0) {
    if (NumStats(fsSucc) == 0 && !MakeRoot(skipCount, p1)) goto restart;
    minContext_ = Succ(foundState_);
  } else {
    SetSucc(foundState_, successor);
    orderFall_++;
  }
  medContext_ = minContext_;
  maxContext_ = successor;
  return;
restart:
  StartModel();
  escCount_ = 0;
}

uint16_t& Model::BinSumm(uint32_t c) {
  const uint32_t rs = OneState(c);
  const uint32_t suffixStats = NumStats(Suffix(c));
  const uint32_t freq = Freq(rs);
  if (freq == 0 || freq > 128 || suffixStats == 0 || suffixStats > 256) Broken();
  return binSumm_[freq - 1][prevSuccess_ + ns2BsIndx_[suffixStats - 1]];
}

void Model::EncodeBinSymbol(int symbol) {
  const uint32_t rs = OneState(minContext_);
  uint16_t& bs = BinSumm(minContext_);
  if (static_cast<int>(Sym(rs)) == symbol) {
    foundState_ = rs;
    SetFreq(rs, Freq(rs) + (Freq(rs) < 128));
    range_.lowCount = 0;
    range_.highCount = bs;
    bs = static_cast<uint16_t>(bs + kInterval - BinMean(bs));
    prevSuccess_ = 1;
  } else {
    range_.lowCount = bs;
    bs = static_cast<uint16_t>(bs - BinMean(bs));
    range_.highCount = kBinScale;
    initEsc_ = kExpEscape[bs >> 10];
    numMasked_ = 1;
    charMask_[Sym(rs)] = escCount_;
    prevSuccess_ = 0;
    foundState_ = 0;
  }
}

void Model::DecodeBinSymbol(uint32_t count) {
  const uint16_t bs = BinSumm(minContext_);
  EncodeBinSymbol(count < bs ? static_cast<int>(Sym(OneState(minContext_))) : -1);
}

void Model::Update1(uint32_t c, uint32_t p) {
  foundState_ = p;
  SetFreq(p, Freq(p) + 4);
  SetSummFreq(c, SummFreq(c) + 4);
  if (Freq(p) > Freq(p - kStateSize)) {
    SwapStates(p, p - kStateSize);
    foundState_ = p -= kStateSize;
    if (Freq(p) > kMaxFreq) Rescale(c);
  }
}

void Model::EncodeSymbol1(int symbol) {
  const uint32_t c = minContext_;
  const uint32_t ns = NumStats(c);
  if (ns < 2 || ns > 256) Broken();
  range_.scale = SummFreq(c);
  uint32_t p = Stats(c);
  if (static_cast<int>(Sym(p)) == symbol) {
    range_.highCount = Freq(p);
    prevSuccess_ = (2 * range_.highCount > range_.scale);
    foundState_ = p;
    SetFreq(p, Freq(p) + 4);
    SetSummFreq(c, SummFreq(c) + 4);
    if (Freq(p) > kMaxFreq) Rescale(c);
    range_.lowCount = 0;
    return;
  }
  prevSuccess_ = 0;
  uint32_t loCnt = Freq(p);
  for (uint32_t i = ns - 1;;) {
    p += kStateSize;
    if (static_cast<int>(Sym(p)) == symbol) break;
    loCnt += Freq(p);
    if (--i == 0) {
      // Escape: every symbol of this context is now ruled out.
      range_.lowCount = loCnt;
      numMasked_ = static_cast<int>(ns);
      foundState_ = 0;
      for (uint32_t k = 0, s = Stats(c); k < ns; k++, s += kStateSize)
        charMask_[Sym(s)] = escCount_;
      range_.highCount = range_.scale;
      return;
    }
  }
  range_.lowCount = loCnt;
  range_.highCount = loCnt + Freq(p);
  Update1(c, p);
}

void Model::DecodeSymbol1(int32_t count) {
  const uint32_t c = minContext_;
  const uint32_t ns = NumStats(c);
  if (ns < 2 || ns > 256) Broken();
  // Find which symbol the count falls on, then code it as the encoder would.
  uint32_t p = Stats(c);
  int32_t hiCnt = static_cast<int32_t>(Freq(p));
  int symbol = -1;
  if (count < hiCnt) {
    symbol = static_cast<int>(Sym(p));
  } else {
    for (uint32_t i = ns - 1; i > 0; i--) {
      p += kStateSize;
      hiCnt += static_cast<int32_t>(Freq(p));
      if (hiCnt > count) {
        symbol = static_cast<int>(Sym(p));
        break;
      }
    }
  }
  EncodeSymbol1(symbol);
}

void Model::Update2(uint32_t c, uint32_t p) {
  foundState_ = p;
  SetFreq(p, Freq(p) + 4);
  SetSummFreq(c, SummFreq(c) + 4);
  if (Freq(p) > kMaxFreq) Rescale(c);
  escCount_++;
}

// The secondary escape estimator for a context with `diff` unmasked symbols.
Model::See2Context& Model::MakeEscFreq2(int diff) {
  const uint32_t c = minContext_;
  const int ns = static_cast<int>(NumStats(c));
  if (ns != 256) {
    const int suffixNs = static_cast<int>(NumStats(Suffix(c)));
    See2Context& see = see2_[ns2Indx_[diff - 1]][(diff < suffixNs - ns) +
                                                 2 * (static_cast<int>(SummFreq(c)) < 11 * ns) +
                                                 4 * (numMasked_ > diff)];
    range_.scale = see.Mean();
    return see;
  }
  range_.scale = 1;
  return see2_[43][0];
}

void Model::EncodeSymbol2(int symbol) {
  const uint32_t c = minContext_;
  const int ns = static_cast<int>(NumStats(c));
  int i = ns - numMasked_;
  if (i < 1 || ns > 256) Broken();
  See2Context& see = MakeEscFreq2(i);
  const uint32_t end = Stats(c) + static_cast<uint32_t>(ns) * kStateSize;
  uint32_t p = Stats(c) - kStateSize;
  uint32_t hiCnt = 0;
  auto nextUnmasked = [&](uint32_t q) {
    do {
      q += kStateSize;
      if (q >= end) Broken();
    } while (charMask_[Sym(q)] == escCount_);
    return q;
  };
  do {
    p = nextUnmasked(p);
    hiCnt += Freq(p);
    if (static_cast<int>(Sym(p)) == symbol) {
      range_.lowCount = hiCnt - Freq(p);
      range_.highCount = hiCnt;
      uint32_t p1 = p;
      while (--i > 0) {
        p1 = nextUnmasked(p1);
        hiCnt += Freq(p1);
      }
      range_.scale += hiCnt;
      see.Update();
      Update2(c, p);
      return;
    }
    charMask_[Sym(p)] = escCount_;
  } while (--i > 0);
  range_.lowCount = hiCnt;
  range_.scale += hiCnt;
  range_.highCount = range_.scale;
  see.summ = static_cast<uint16_t>(see.summ + range_.scale);
  numMasked_ = ns;
}

void Model::PrepareSymbol2() {
  const uint32_t c = minContext_;
  const int ns = static_cast<int>(NumStats(c));
  int i = ns - numMasked_;
  if (i < 1 || ns > 256) Broken();
  pendingSee_ = &MakeEscFreq2(i);
  const uint32_t end = Stats(c) + static_cast<uint32_t>(ns) * kStateSize;
  uint32_t p = Stats(c) - kStateSize;
  uint32_t hiCnt = 0;
  pendingCount_ = 0;
  do {
    do {
      p += kStateSize;
      if (p >= end) Broken();
    } while (charMask_[Sym(p)] == escCount_);
    hiCnt += Freq(p);
    pendingStates_[pendingCount_++] = p;
  } while (--i > 0);
  range_.scale += hiCnt;
  range_.highCount = hiCnt;  // total of the unmasked symbols, until DecodeSymbol2 decides
}

void Model::DecodeSymbol2(int32_t count) {
  const uint32_t c = minContext_;
  const int32_t total = static_cast<int32_t>(range_.highCount);
  See2Context& see = *pendingSee_;
  if (count < total) {
    int k = 0;
    uint32_t p = pendingStates_[0];
    int32_t hiCnt = 0;
    while ((hiCnt += static_cast<int32_t>(Freq(p))) <= count) p = pendingStates_[++k];
    range_.lowCount = static_cast<uint32_t>(hiCnt) - Freq(p);
    range_.highCount = static_cast<uint32_t>(hiCnt);
    see.Update();
    Update2(c, p);
  } else {
    range_.lowCount = static_cast<uint32_t>(total);
    range_.highCount = range_.scale;
    for (int k = 0; k < pendingCount_; k++) charMask_[Sym(pendingStates_[k])] = escCount_;
    see.summ = static_cast<uint16_t>(see.summ + range_.scale);
    numMasked_ = static_cast<int>(NumStats(c));
  }
}

bool Model::EscapeToSuffix() {
  do {
    orderFall_++;
    minContext_ = Suffix(minContext_);
    if (minContext_ == 0) return false;
  } while (static_cast<int>(NumStats(minContext_)) == numMasked_);
  return true;
}

void Model::Advance() {
  const uint32_t successor = Succ(foundState_);
  if (orderFall_ == 0 && successor != 0 && NumStats(successor) != 0) {
    minContext_ = medContext_ = successor;
  } else {
    UpdateModel();
    if (escCount_ == 0) ClearMask();
  }
}

}  // namespace store::ppmd
