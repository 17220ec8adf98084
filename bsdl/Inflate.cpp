#include "bsdl/Inflate.h"

#include <array>
#include <cstdint>

namespace bsdl {

namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kLiteralLengthCodes = 288;
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block lists the lengths of the code-length code.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

class BitReader {
 public:
  explicit BitReader(std::string_view data) : data_(data) {}

  // The next `count` bits (at most 16), least significant first.
  uint32_t Bits(int count) {
    while (held_ < count) {
      if (next_ >= data_.size()) throw EInflate("the compressed data ends early");
      buffer_ |= static_cast<uint32_t>(static_cast<uint8_t>(data_[next_++])) << held_;
      held_ += 8;
    }
    const uint32_t value = buffer_ & ((1u << count) - 1u);
    buffer_ >>= count;
    held_ -= count;
    return value;
  }

  // Drops the rest of the current byte (fewer than 8 bits are ever held).
  void AlignToByte() {
    buffer_ = 0;
    held_ = 0;
  }

  std::string_view TakeBytes(size_t count) {
    if (data_.size() - next_ < count) throw EInflate("a stored block runs past the data");
    const std::string_view bytes = data_.substr(next_, count);
    next_ += count;
    return bytes;
  }

 private:
  std::string_view data_;
  size_t next_ = 0;
  uint32_t buffer_ = 0;
  int held_ = 0;
};

// A canonical Huffman code: how many codes of each length, and the symbols
// in code order.
struct Huffman {
  std::array<uint16_t, kMaxCodeBits + 1> count{};
  std::array<uint16_t, kLiteralLengthCodes> symbol{};
};

// An over-subscribed code is malformed; an incomplete one is allowed (a
// single distance code is common) and fails only if an unused code shows up.
Huffman BuildHuffman(const uint8_t* lengths, int symbols) {
  Huffman code;
  for (int s = 0; s < symbols; ++s) ++code.count[lengths[s]];
  int left = 1;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    left = left * 2 - code.count[len];
    if (left < 0) throw EInflate("a Huffman code is over-subscribed");
  }
  std::array<uint16_t, kMaxCodeBits + 1> offset{};
  for (int len = 1; len < kMaxCodeBits; ++len) offset[len + 1] = offset[len] + code.count[len];
  for (int s = 0; s < symbols; ++s)
    if (lengths[s] != 0) code.symbol[offset[lengths[s]]++] = static_cast<uint16_t>(s);
  return code;
}

int Decode(BitReader& in, const Huffman& code) {
  int bits = 0, first = 0, index = 0;
  for (int len = 1; len <= kMaxCodeBits; ++len) {
    bits |= static_cast<int>(in.Bits(1));
    const int count = code.count[len];
    if (bits - first < count) return code.symbol[index + (bits - first)];
    index += count;
    first = (first + count) << 1;
    bits <<= 1;
  }
  throw EInflate("the data holds a Huffman code that its table does not define");
}

class Inflater {
 public:
  Inflater(std::string_view compressed, size_t maxOutput) : in_(compressed), max_(maxOutput) {}

  std::string Run() {
    bool last = false;
    while (!last) {
      last = in_.Bits(1) != 0;
      switch (in_.Bits(2)) {
        case 0:
          StoredBlock();
          break;
        case 1:
          FixedBlock();
          break;
        case 2:
          DynamicBlock();
          break;
        default:
          throw EInflate("a block has the reserved type 3");
      }
    }
    return std::move(out_);
  }

 private:
  void Reserve(size_t more) {
    if (max_ - out_.size() < more)
      throw EInflate("the data inflates beyond " + std::to_string(max_) + " bytes");
  }

  void StoredBlock() {
    in_.AlignToByte();
    const std::string_view header = in_.TakeBytes(4);
    const auto byte = [&](size_t i) {
      return static_cast<uint32_t>(static_cast<uint8_t>(header[i]));
    };
    const uint32_t length = byte(0) | (byte(1) << 8);
    const uint32_t complement = byte(2) | (byte(3) << 8);
    if (length != (~complement & 0xFFFFu)) throw EInflate("a stored block has a corrupt length");
    Reserve(length);
    out_.append(in_.TakeBytes(length));
  }

  void FixedBlock() {
    static const auto kCodes = [] {
      std::array<uint8_t, kLiteralLengthCodes + kDistanceCodes> lengths{};
      for (int s = 0; s < 144; ++s) lengths[s] = 8;
      for (int s = 144; s < 256; ++s) lengths[s] = 9;
      for (int s = 256; s < 280; ++s) lengths[s] = 7;
      for (int s = 280; s < kLiteralLengthCodes; ++s) lengths[s] = 8;
      for (int s = 0; s < kDistanceCodes; ++s) lengths[kLiteralLengthCodes + s] = 5;
      return std::array<Huffman, 2>{
          BuildHuffman(lengths.data(), kLiteralLengthCodes),
          BuildHuffman(lengths.data() + kLiteralLengthCodes, kDistanceCodes)};
    }();
    Codes(kCodes[0], kCodes[1]);
  }

  void DynamicBlock() {
    const int literalCount = static_cast<int>(in_.Bits(5)) + 257;
    const int distanceCount = static_cast<int>(in_.Bits(5)) + 1;
    const int lengthCodeCount = static_cast<int>(in_.Bits(4)) + 4;
    if (literalCount > 286 || distanceCount > kDistanceCodes)
      throw EInflate("a dynamic block declares too many codes");

    std::array<uint8_t, 19> codeLengthLengths{};
    for (int i = 0; i < lengthCodeCount; ++i)
      codeLengthLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(in_.Bits(3));
    const Huffman codeLengthCode = BuildHuffman(codeLengthLengths.data(), 19);

    std::array<uint8_t, 286 + kDistanceCodes> lengths{};
    const int total = literalCount + distanceCount;
    for (int filled = 0; filled < total;) {
      const int symbol = Decode(in_, codeLengthCode);
      if (symbol < 16) {
        lengths[filled++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t repeated = 0;
      int times = 0;
      if (symbol == 16) {
        if (filled == 0) throw EInflate("a length repeat has no length before it");
        repeated = lengths[filled - 1];
        times = 3 + static_cast<int>(in_.Bits(2));
      } else if (symbol == 17) {
        times = 3 + static_cast<int>(in_.Bits(3));
      } else {
        times = 11 + static_cast<int>(in_.Bits(7));
      }
      if (filled + times > total) throw EInflate("code lengths run past their count");
      for (int i = 0; i < times; ++i) lengths[filled++] = repeated;
    }
    if (lengths[kEndOfBlock] == 0) throw EInflate("a dynamic block has no end-of-block code");
    Codes(BuildHuffman(lengths.data(), literalCount),
          BuildHuffman(lengths.data() + literalCount, distanceCount));
  }

  void Codes(const Huffman& literals, const Huffman& distances) {
    for (;;) {
      const int symbol = Decode(in_, literals);
      if (symbol < 256) {
        Reserve(1);
        out_.push_back(static_cast<char>(symbol));
        continue;
      }
      if (symbol == kEndOfBlock) return;
      const int lengthIndex = symbol - 257;
      if (lengthIndex >= 29) throw EInflate("the data uses an undefined length code");
      const size_t length = kLengthBase[lengthIndex] + in_.Bits(kLengthExtra[lengthIndex]);
      const int distanceIndex = Decode(in_, distances);
      if (distanceIndex >= kDistanceCodes)
        throw EInflate("the data uses an undefined distance code");
      const size_t distance =
          kDistanceBase[distanceIndex] + in_.Bits(kDistanceExtra[distanceIndex]);
      if (distance > out_.size()) throw EInflate("a back reference points before the data");
      Reserve(length);
      // Byte by byte: the copy may overlap what it writes.
      for (size_t from = out_.size() - distance, i = 0; i < length; ++i)
        out_.push_back(out_[from + i]);
    }
  }

  BitReader in_;
  size_t max_;
  std::string out_;
};

}  // namespace

std::string Inflate(std::string_view compressed, size_t maxOutput) {
  return Inflater(compressed, maxOutput).Run();
}

}  // namespace bsdl
