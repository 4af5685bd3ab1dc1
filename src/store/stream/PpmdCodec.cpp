#include "store/stream/PpmdCodec.h"

#include <memory>

#include "store/Errors.h"
#include "store/stream/PpmdModel.h"

namespace store {

namespace {
using ppmd::Model;
using ppmd::PpmdError;
using ppmd::SubRange;

// Carry-less range coder with 32-bit low and range: bytes leave from the top of `low`
// whenever its top byte is settled, or when the range has shrunk below 2^15, in which case
// the range is cut to end at the next 2^15 boundary.
constexpr uint32_t kTop = 1u << 24, kBot = 1u << 15;

class RangeEncoder {
 public:
  explicit RangeEncoder(std::vector<uint8_t>& out) : out_(out) {}
  void Encode(const SubRange& r) {
    low_ += r.lowCount * (range_ /= r.scale);
    range_ *= r.highCount - r.lowCount;
  }
  void EncodeShift(const SubRange& r, int shift) {
    low_ += r.lowCount * (range_ >>= shift);
    range_ *= r.highCount - r.lowCount;
  }
  void Normalize() {
    while ((low_ ^ (low_ + range_)) < kTop ||
           (range_ < kBot && ((range_ = (0u - low_) & (kBot - 1)), true))) {
      out_.push_back(static_cast<uint8_t>(low_ >> 24));
      range_ <<= 8;
      low_ <<= 8;
    }
  }
  void Flush() {
    for (int i = 0; i < 4; i++) {
      out_.push_back(static_cast<uint8_t>(low_ >> 24));
      low_ <<= 8;
    }
  }

 private:
  std::vector<uint8_t>& out_;
  uint32_t low_ = 0, range_ = 0xFFFFFFFFu;
};

class RangeDecoder {
 public:
  explicit RangeDecoder(std::span<const uint8_t> in) : in_(in) {
    for (int i = 0; i < 4; i++) code_ = (code_ << 8) | Next();
  }
  int32_t Count(uint32_t scale) {
    if (scale == 0 || (range_ /= scale) == 0) throw PpmdError("PPMd range underflow");
    return static_cast<int32_t>((code_ - low_) / range_);
  }
  uint32_t ShiftCount(int shift) {
    if ((range_ >>= shift) == 0) throw PpmdError("PPMd range underflow");
    return (code_ - low_) / range_;
  }
  void Remove(const SubRange& r) {
    low_ += range_ * r.lowCount;
    range_ *= r.highCount - r.lowCount;
  }
  void Normalize() {
    while ((low_ ^ (low_ + range_)) < kTop ||
           (range_ < kBot && ((range_ = (0u - low_) & (kBot - 1)), true))) {
      code_ = (code_ << 8) | Next();
      range_ <<= 8;
      low_ <<= 8;
    }
  }

 private:
  // Past the end the original decoder ORs in all ones (its byte reader's -1).
  uint32_t Next() { return pos_ < in_.size() ? in_[pos_++] : 0xFFFFFFFFu; }
  std::span<const uint8_t> in_;
  size_t pos_ = 0;
  uint32_t low_ = 0, code_ = 0, range_ = 0xFFFFFFFFu;
};
}  // namespace

std::vector<uint8_t> PpmdCompress(std::span<const uint8_t> data, int order, int megabytes) {
  if (megabytes < 1 || megabytes > 256) throw PpmdError("PPMd model size out of range");
  auto model = std::make_unique<Model>(static_cast<uint32_t>(megabytes), order);
  std::vector<uint8_t> out;
  out.reserve(data.size() / 2 + 64);
  RangeEncoder coder(out);
  size_t pos = 0;
  for (;;) {
    const int c = pos < data.size() ? data[pos++] : -1;  // -1: the end-of-data symbol
    if (model->InBinaryContext()) {
      model->EncodeBinSymbol(c);
      coder.EncodeShift(model->Range(), Model::kBinShift);
    } else {
      model->EncodeSymbol1(c);
      coder.Encode(model->Range());
    }
    while (!model->Found()) {
      coder.Normalize();
      if (!model->EscapeToSuffix()) {
        coder.Flush();
        return out;
      }
      model->EncodeSymbol2(c);
      coder.Encode(model->Range());
    }
    model->Advance();
    coder.Normalize();
  }
}

std::vector<uint8_t> PpmdDecompress(std::span<const uint8_t> packed, int order, int megabytes,
                                    size_t maxSize) {
  if (megabytes < 1 || megabytes > 256) throw PpmdError("PPMd model size out of range");
  auto model = std::make_unique<Model>(static_cast<uint32_t>(megabytes), order);
  std::vector<uint8_t> out;
  out.reserve(maxSize);
  RangeDecoder coder(packed);
  for (;;) {
    if (model->InBinaryContext()) {
      model->DecodeBinSymbol(coder.ShiftCount(Model::kBinShift));
    } else {
      model->DecodeSymbol1(coder.Count(model->Symbol1Scale()));
    }
    coder.Remove(model->Range());
    while (!model->Found()) {
      coder.Normalize();
      if (!model->EscapeToSuffix()) return out;
      model->PrepareSymbol2();
      model->DecodeSymbol2(coder.Count(model->Range().scale));
      coder.Remove(model->Range());
    }
    if (out.size() >= maxSize) throw PpmdError("PPMd data longer than expected");
    out.push_back(static_cast<uint8_t>(model->FoundSymbol()));
    model->Advance();
    coder.Normalize();
  }
}

}  // namespace store
