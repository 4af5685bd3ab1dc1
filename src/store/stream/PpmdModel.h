#pragma once
// The context model of PPMd variant G (prediction by partial matching with information
// inheritance, secondary escape estimation and binary-context tables).
//
// The model predicts the next byte from the contexts of the preceding bytes, longest first;
// a symbol not seen in a context is coded as an escape and the next shorter context tried,
// with the symbols already ruled out masked. Below order 0 lies the end-of-data symbol.
// Encoder and decoder drive the same model with the same updates, so both sides hold an
// identical model after every byte. When the model memory is exhausted the model restarts
// from scratch at that byte.
//
// Context record (12 bytes, offsets in the model memory, see PpmdHeap.h):
//   OFFSET SIZE DESCRIPTION
//   0      2    number of symbols (1: binary context, the symbol is held inline at 2)
//   2      2    sum of frequencies and escape   | inline symbol: 2 symbol, 3 frequency,
//   4      4    link to the symbol table        |                4..7 successor link
//   8      4    link to the suffix (next shorter) context, 0 for order 0
// Symbol record (6 bytes): 0 symbol, 1 frequency, 2..5 link to the successor context.
// A context whose symbol count is 0 is a placeholder made for a successor that has not been
// given its own statistics yet.
#include <cstdint>

#include "store/stream/PpmdHeap.h"

namespace store::ppmd {

constexpr int kMaxOrder = 16;

// The probability interval of the symbol (or escape) just modelled: [low, high) of scale,
// or of 2^14 for binary contexts.
struct SubRange {
  uint32_t lowCount = 0, highCount = 0, scale = 0;
};

class Model {
 public:
  static constexpr int kIntBits = 7, kPeriodBits = 7;
  static constexpr int kBinShift = kIntBits + kPeriodBits;

  Model(uint32_t megabytes, int maxOrder);

  // Codes one step in the current context `minContext_`. The encoder forms know the symbol
  // (or -1 at the end of data, which matches nothing); the decoder forms take the count the
  // range decoder reports. Afterwards `foundState_` is the symbol record, or 0 for an escape.
  void EncodeBinSymbol(int symbol);
  void EncodeSymbol1(int symbol);
  void EncodeSymbol2(int symbol);
  void DecodeBinSymbol(uint32_t count);
  // The scale DecodeSymbol1 divides by: the frequency sum of the current context.
  uint32_t Symbol1Scale() const { return SummFreq(minContext_); }
  void DecodeSymbol1(int32_t count);
  // Masked symbols: sets the scale first (PrepareSymbol2), then decodes with the count.
  void PrepareSymbol2();
  void DecodeSymbol2(int32_t count);

  // Moves to the next shorter context after an escape, skipping those whose every symbol is
  // masked. False when the order-0 context escaped: the end of data.
  bool EscapeToSuffix();
  // After a symbol was found: learn it and move to the next context.
  void Advance();

  bool InBinaryContext() const { return NumStats(minContext_) == 1; }
  bool Found() const { return foundState_ != 0; }
  int FoundSymbol() const { return heap_.U8(foundState_); }
  const SubRange& Range() const { return range_; }

 private:
  struct See2Context {
    uint16_t summ;
    uint8_t shift, count;
    void Init(int initVal);
    uint32_t Mean();
    void Update();
  };

  // Field access on context and symbol records.
  uint32_t NumStats(uint32_t c) const { return heap_.U16(c); }
  uint32_t SummFreq(uint32_t c) const { return heap_.U16(c + 2); }
  uint32_t Stats(uint32_t c) const { return heap_.U32(c + 4); }
  uint32_t Suffix(uint32_t c) const { return heap_.U32(c + 8); }
  void SetNumStats(uint32_t c, uint32_t v) { heap_.SetU16(c, v); }
  void SetSummFreq(uint32_t c, uint32_t v) { heap_.SetU16(c + 2, v); }
  void SetStats(uint32_t c, uint32_t v) { heap_.SetU32(c + 4, v); }
  void SetSuffix(uint32_t c, uint32_t v) { heap_.SetU32(c + 8, v); }
  static uint32_t OneState(uint32_t c) { return c + 2; }
  uint32_t Sym(uint32_t s) const { return heap_.U8(s); }
  uint32_t Freq(uint32_t s) const { return heap_.U8(s + 1); }
  uint32_t Succ(uint32_t s) const { return heap_.U32(s + 2); }
  void SetSym(uint32_t s, uint32_t v) { heap_.SetU8(s, v); }
  void SetFreq(uint32_t s, uint32_t v) { heap_.SetU8(s + 1, v); }
  void SetSucc(uint32_t s, uint32_t v) { heap_.SetU32(s + 2, v); }
  void CopyState(uint32_t to, uint32_t from) { heap_.Move(to, from, 6); }
  void SwapStates(uint32_t a, uint32_t b);
  // The record of `symbol` in the table of context `c` (which must hold it).
  uint32_t FindState(uint32_t c, uint32_t symbol) const;

  uint32_t NewContext();
  uint32_t NewContext(uint32_t parentState, uint32_t suffix);

  void StartModel();
  void ClearMask();
  void Rescale(uint32_t c);
  bool MakeRoot(uint32_t skipCount, uint32_t p1);
  void UpdateModel();
  void Update1(uint32_t c, uint32_t p);
  void Update2(uint32_t c, uint32_t p);
  uint16_t& BinSumm(uint32_t c);
  See2Context& MakeEscFreq2(int diff);

  Heap heap_;
  int maxOrder_;
  uint32_t minContext_ = 0, medContext_ = 0, maxContext_ = 0, foundState_ = 0;
  int numMasked_ = 0, initEsc_ = 0, orderFall_ = 0;
  uint8_t escCount_ = 0, prevSuccess_ = 0;
  uint8_t charMask_[256] = {};
  uint8_t ns2Indx_[256] = {}, ns2BsIndx_[256] = {};
  uint16_t binSumm_[128][16] = {};
  See2Context see2_[44][8] = {};
  See2Context* pendingSee_ = nullptr;  // between PrepareSymbol2 and DecodeSymbol2
  uint32_t pendingStates_[256] = {};
  int pendingCount_ = 0;
  SubRange range_;
};

}  // namespace store::ppmd
