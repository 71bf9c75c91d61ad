#pragma once

// What differs between two codeplugs: the named values whose texts differ,
// then the bytes whose differences no such value accounts for (bytes no
// window shows, or a value stored differently that shows the same text).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/memory_image.h"

namespace orvex {

struct ValueChange {
  std::string label;  // "channel 12 Rx Freq"
  std::string before, after;
};

struct CodeplugDiff {
  std::vector<ValueChange> values;
  std::vector<ByteChange> bytes;

  bool empty() const { return values.empty() && bytes.empty(); }
};

// Empty exactly when the two images are byte for byte the same.
CodeplugDiff DiffCodeplugs(const Image& before, const Image& after);

// The differences within the given rows only: what a radio read back after
// a Write shows against what was written, every other row left alone.
CodeplugDiff DiffRows(const Image& written, const Image& readBack, const std::vector<int>& rows);

// The channel 1..128 a value change is about ("channel 12 Rx Freq"), or 0.
int DiffChannel(const ValueChange& change);

// One row per difference as the comparison window lists it: what, its text
// in the first codeplug and in the second, the channel it is about (or 0);
// a byte row is "0x0E5F", "01", "00".
struct DiffRow {
  std::string what, before, after;
  int channel = 0;
};
std::vector<DiffRow> DiffTable(const CodeplugDiff& diff);

// One line per difference: "channel 12 Rx Freq: 145.50000 -> 145.52500"
// ("(empty)" for an empty text), then "0x0E5F: 01 -> 00".
std::vector<std::string> DiffLines(const CodeplugDiff& diff);

}  // namespace orvex
