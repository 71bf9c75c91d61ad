#include "codeplug/packer.h"

#include <array>

namespace orvex {

namespace {

// Control bytes: 0x01..0x7F a mask of up to seven positions (bit 6 first, a
// set bit is the removed value), 0x80..0xFE a run of 7..133 literals then the
// removed value, 0xFF 134 literals alone.
constexpr unsigned kGroupSize = 7;
constexpr unsigned kRunBase = 0x80;
constexpr unsigned kLongestRun = 134;
constexpr std::uint8_t kLiteralRun = 0xFF;
// A pass that removes this many bytes is kept even when it does not shrink.
constexpr std::size_t kAlwaysAcceptCount = 1100;
constexpr std::size_t kHeaderSize = 7;  // LA (3), M, C (3)

void PutBe24(Bytes& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 16));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

std::size_t GetBe24(std::span<const std::uint8_t> in, std::size_t at) {
  return std::size_t{in[at]} << 16 | std::size_t{in[at + 1]} << 8 | in[at + 2];
}

}  // namespace

std::optional<Bytes> EncodePass(std::span<const std::uint8_t> x) {
  if (x.empty()) return std::nullopt;
  std::array<std::size_t, 256> counts{};
  for (auto b : x) ++counts[b];
  unsigned m = 0;
  for (unsigned v = 1; v < 256; ++v)
    if (counts[v] >= counts[m]) m = v;
  const std::size_t c = counts[m];
  // The 24-bit count and length fields cannot describe a larger pass.
  if (c > 0xFFFFFF || x.size() > 0xFFFFFF) return std::nullopt;

  Bytes control, literals;
  literals.reserve(x.size());
  unsigned g = 0;
  int p = 0;
  std::size_t seen = 0, j = 0;
  while (seen < c) {
    if (x[j] != m) {
      literals.push_back(x[j]);
    } else {
      if (p >= static_cast<int>(kGroupSize)) {
        control.push_back(static_cast<std::uint8_t>(kRunBase + (p - kGroupSize)));
        g = 0;
        p = -1;
      } else {
        g |= 1u << (6 - p);
      }
      ++seen;
    }
    ++j;
    ++p;
    if (p == static_cast<int>(kGroupSize)) {
      if (g > 0) {
        control.push_back(static_cast<std::uint8_t>(g));
        g = 0;
        p = 0;
      }
    } else if (p == static_cast<int>(kLongestRun)) {
      control.push_back(kLiteralRun);
      g = 0;
      p = 0;
    }
  }
  if (g > 0) control.push_back(static_cast<std::uint8_t>(g));
  literals.insert(literals.end(), x.begin() + static_cast<std::ptrdiff_t>(j), x.end());

  const std::size_t la = 4 + control.size();
  const bool pays = la + literals.size() + 1 <= x.size() - 1;
  if (!pays && c < kAlwaysAcceptCount) return std::nullopt;
  if (la > 0xFFFFFF) return std::nullopt;

  Bytes out;
  out.reserve(3 + la + literals.size());
  PutBe24(out, la);
  out.push_back(static_cast<std::uint8_t>(m));
  PutBe24(out, c);
  out.insert(out.end(), control.begin(), control.end());
  out.insert(out.end(), literals.begin(), literals.end());
  return out;
}

Bytes Encode(std::span<const std::uint8_t> input) {
  Bytes buffer(input.begin(), input.end());
  unsigned passes = 0;
  while (passes < kMaxPasses) {
    auto next = EncodePass(buffer);
    if (!next) break;
    buffer = std::move(*next);
    ++passes;
  }
  buffer.push_back(static_cast<std::uint8_t>(passes));
  return buffer;
}

Result<Bytes> DecodePass(std::span<const std::uint8_t> y, std::size_t maxOutput) {
  if (y.size() < kHeaderSize) return Fail("packed data too short for a pass header");
  const std::size_t la = GetBe24(y, 0);
  const std::uint8_t m = y[3];
  const std::size_t c = GetBe24(y, 4);
  if (la < 4 || 3 + la > y.size()) return Fail("pass header gives an impossible length");
  const std::size_t controlEnd = 3 + la;
  std::size_t i = controlEnd;  // next literal
  std::size_t k = kHeaderSize;  // next control byte
  const std::size_t outSize = (y.size() - i) + c;
  if (outSize > maxOutput) return Fail("unpacked data would be larger than any codeplug");

  Bytes out;
  out.reserve(outSize);
  std::size_t written = 0;  // removed values written back
  auto literal = [&]() -> bool {
    if (i >= y.size()) return false;
    out.push_back(y[i++]);
    return true;
  };
  while (written < c) {
    if (k >= controlEnd) return Fail("control bytes end before every removed value is placed");
    const std::uint8_t b = y[k++];
    if (b < kRunBase) {
      for (int f = 6; f >= 0 && written < c; --f) {
        if (b >> f & 1) {
          out.push_back(m);
          ++written;
        } else if (!literal()) {
          return Fail("literals end inside a group");
        }
      }
    } else {
      const unsigned n = (b - kRunBase) + kGroupSize;
      for (unsigned r = 0; r < n; ++r)
        if (!literal()) return Fail("literals end inside a run");
      if (n != kLongestRun) {
        out.push_back(m);
        ++written;
      }
    }
  }
  out.insert(out.end(), y.begin() + static_cast<std::ptrdiff_t>(i), y.end());
  return out;
}

Result<Bytes> Decode(std::span<const std::uint8_t> packed, std::size_t maxOutput) {
  if (packed.empty()) return Fail("empty data has no pass count");
  const unsigned passes = packed.back();
  Bytes buffer(packed.begin(), packed.end() - 1);
  for (unsigned n = 0; n < passes; ++n) {
    auto next = DecodePass(buffer, maxOutput);
    if (!next) return Fail("pass " + std::to_string(n + 1) + " of " + std::to_string(passes) + ": " + next.error());
    buffer = std::move(*next);
  }
  return buffer;
}

}  // namespace orvex
