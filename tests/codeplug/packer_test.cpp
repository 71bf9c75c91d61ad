#include "codeplug/packer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codeplug/codeplug_file.h"
#include "test_images.h"

namespace orvex {
namespace {

using test::Rng;

// The expected output of an accepted pass, put together from its parts.
Bytes PassOutput(std::uint8_t m, std::size_t count, const Bytes& control, const Bytes& literals) {
  const std::size_t la = 4 + control.size();
  Bytes out = {
      static_cast<std::uint8_t>(la >> 16),    static_cast<std::uint8_t>(la >> 8),    static_cast<std::uint8_t>(la),   m,
      static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count)};
  out.insert(out.end(), control.begin(), control.end());
  out.insert(out.end(), literals.begin(), literals.end());
  return out;
}

Bytes Without(const Bytes& x, std::uint8_t m) {
  Bytes rest;
  std::copy_if(x.begin(), x.end(), std::back_inserter(rest), [m](std::uint8_t b) { return b != m; });
  return rest;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Packs, unpacks again and checks that packing stopped where it should.
void ExpectRoundTrip(const Bytes& x, const std::string& what) {
  const Bytes packed = Encode(x);
  ASSERT_FALSE(packed.empty()) << what;
  const auto unpacked = Decode(packed);
  ASSERT_TRUE(unpacked.ok()) << what << ": " << unpacked.error();
  ASSERT_EQ(*unpacked, x) << what;
  ASSERT_EQ(Encode(x), packed) << what << ": packing is not deterministic";
  // Packing stops only when a further pass would not pay, or at 255 passes.
  const Bytes last(packed.begin(), packed.end() - 1);
  if (packed.back() < kMaxPasses) {
    ASSERT_FALSE(EncodePass(last).has_value()) << what;
  }
}

// --- The worked examples ------------------------------------------------------------

TEST(Packer, WorkedExample) {
  const Bytes x = {0x41, 0x41, 0x42, 0x41, 0x41, 0x41, 0x43, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41};
  const Bytes pass = {0x00, 0x00, 0x07, 0x41, 0x00, 0x00, 0x0E, 0x6E, 0x7F, 0x60, 0x42, 0x43};
  ASSERT_EQ(EncodePass(x), pass);
  EXPECT_EQ(EncodePass(pass), std::nullopt) << "a second pass would grow the data";
  Bytes packed = pass;
  packed.push_back(0x01);
  EXPECT_EQ(Encode(x), packed);
  EXPECT_EQ(DecodePass(pass).value(), x);
  EXPECT_EQ(Decode(packed).value(), x);
}

TEST(Packer, NoPassPays) {
  const Bytes x = {0x61, 0x62, 0x63};
  EXPECT_EQ(EncodePass(x), std::nullopt);
  EXPECT_EQ(Encode(x), (Bytes{0x61, 0x62, 0x63, 0x00}));
  EXPECT_EQ(Decode(Bytes{0x61, 0x62, 0x63, 0x00}).value(), x);
}

TEST(Packer, TiedCountsRemoveTheHigherValue) {
  const Bytes x = Concat({Bytes(10, 0x01), Bytes(10, 0x02)});
  const Bytes expected = Concat({{0x00, 0x00, 0x07, 0x02, 0x00, 0x00, 0x0A, 0x83, 0x7F, 0x60}, Bytes(10, 0x01)});
  EXPECT_EQ(EncodePass(x), expected);
  // The same counts the other way round: still 0x02.
  const Bytes y = Concat({Bytes(10, 0x02), Bytes(10, 0x01)});
  EXPECT_EQ(EncodePass(y).value()[3], 0x02);
  ExpectRoundTrip(x, "tie");
  ExpectRoundTrip(y, "tie reversed");
}

TEST(Packer, EmptyInputHasNoPass) {
  EXPECT_EQ(EncodePass(Bytes{}), std::nullopt);
  EXPECT_EQ(Encode(Bytes{}), Bytes{0x00});
  EXPECT_EQ(Decode(Bytes{0x00}).value(), Bytes{});
}

// The acceptance rule: the pass output may be at most one byte longer than
// its input.  Seven equal bytes pack to eight; six would pack to eight too.
TEST(Packer, AcceptanceBoundary) {
  EXPECT_EQ(EncodePass(Bytes(7, 0x41)), (Bytes{0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x07, 0x7F}));
  EXPECT_EQ(EncodePass(Bytes(6, 0x41)), std::nullopt);
  EXPECT_EQ(Encode(Bytes(7, 0x41)), (Bytes{0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x07, 0x7F, 0x01}));
  EXPECT_EQ(Encode(Bytes(6, 0x41)), (Bytes{0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x00}));
}

// --- Groups and runs ---------------------------------------------------------------

struct RunCase {
  std::size_t before;  // literals before the removed values
  std::size_t count;   // removed values in a row
  std::size_t after;   // literals after them
  Bytes control;
};

class PackerRunTest : public ::testing::TestWithParam<RunCase> {};

// Literals with counts far below the removed value's, never equal to it.
Bytes Literals(std::size_t n, std::size_t salt) {
  Bytes out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>((i + salt) % 200);
  return out;
}

TEST_P(PackerRunTest, ControlBytes) {
  const auto& c = GetParam();
  constexpr std::uint8_t m = 0xEE;
  const Bytes before = Literals(c.before, 0), after = Literals(c.after, 7);
  const Bytes x = Concat({before, Bytes(c.count, m), after});
  const auto pass = EncodePass(x);
  ASSERT_TRUE(pass.has_value());
  EXPECT_EQ(*pass, PassOutput(m, c.count, c.control, Concat({before, after})));
  EXPECT_EQ(DecodePass(*pass).value(), x);
  ExpectRoundTrip(x, "run");
}

INSTANTIATE_TEST_SUITE_P(
    Walks, PackerRunTest,
    ::testing::Values(
        // Masks: bit 6 is the first position of a group.
        RunCase{0, 20, 0, {0x7F, 0x7F, 0x7E}}, RunCase{3, 20, 0, {0x0F, 0x7F, 0x7F, 0x60}},
        RunCase{6, 20, 0, {0x01, 0x7F, 0x7F, 0x7C}},
        // A group without M becomes a run: 7..133 literals, then M.
        RunCase{7, 20, 0, {0x80, 0x7F, 0x7F, 0x7C}}, RunCase{8, 20, 0, {0x81, 0x7F, 0x7F, 0x7C}},
        RunCase{100, 20, 0, {0xDD, 0x7F, 0x7F, 0x7C}}, RunCase{133, 20, 0, {0xFE, 0x7F, 0x7F, 0x7C}},
        // 134 literals alone give 0xFF and a new group starts.
        RunCase{134, 20, 0, {0xFF, 0x7F, 0x7F, 0x7E}}, RunCase{135, 20, 0, {0xFF, 0x3F, 0x7F, 0x7F}},
        RunCase{140, 20, 0, {0xFF, 0x01, 0x7F, 0x7F, 0x7C}}, RunCase{141, 20, 0, {0xFF, 0x80, 0x7F, 0x7F, 0x7C}},
        RunCase{268, 20, 0, {0xFF, 0xFF, 0x7F, 0x7F, 0x7E}}, RunCase{275, 20, 0, {0xFF, 0xFF, 0x80, 0x7F, 0x7F, 0x7C}},
        // Literals after the last M need no control byte.
        RunCase{0, 20, 5, {0x7F, 0x7F, 0x7E}}, RunCase{0, 21, 300, {0x7F, 0x7F, 0x7F}},
        RunCase{10, 20, 200, {0x83, 0x7F, 0x7F, 0x7C}}));

TEST(Packer, ScatteredValuesUseMasks) {
  // M at every second position: groups 1010101 and 0101010 alternate.
  Bytes x;
  for (int i = 0; i < 28; ++i) x.push_back(i % 2 == 0 ? 0xEE : static_cast<std::uint8_t>(i));
  const auto pass = EncodePass(x);
  ASSERT_TRUE(pass.has_value());
  EXPECT_EQ(*pass, PassOutput(0xEE, 14, {0x55, 0x2A, 0x55, 0x2A}, Without(x, 0xEE)));
}

// --- Acceptance of passes that do not shrink ---------------------------------------

// M once in every seven bytes: one control byte per M, so the pass grows the
// data and is kept only for 1100 or more M.
Bytes SparseBuffer(std::size_t count) {
  Bytes x;
  for (std::size_t i = 0; i < count; ++i) {
    x.push_back(0xEE);
    for (std::size_t t = 0; t < 6; ++t) x.push_back(static_cast<std::uint8_t>((i * 6 + t) % 200));
  }
  return x;
}

TEST(Packer, GrowingPassKeptFrom1100) {
  EXPECT_EQ(EncodePass(SparseBuffer(1099)), std::nullopt);
  const Bytes x = SparseBuffer(1100);
  const auto pass = EncodePass(x);
  ASSERT_TRUE(pass.has_value());
  EXPECT_GT(pass->size(), x.size());
  EXPECT_EQ(*pass, PassOutput(0xEE, 1100, Bytes(1100, 0x40), Without(x, 0xEE)));
  ExpectRoundTrip(x, "1100 scattered");
  ExpectRoundTrip(SparseBuffer(1099), "1099 scattered");
}

// Every byte value 1100 or more times keeps every pass worth taking, more
// than the count byte can record: packing stops at 255 passes and still
// unpacks.
TEST(Packer, StopsAt255Passes) {
  Bytes x;
  for (unsigned v = 0; v < 256; ++v) x.insert(x.end(), 1100 + v, static_cast<std::uint8_t>(v));
  const Bytes packed = Encode(x);
  ASSERT_EQ(packed.back(), 255);
  const Bytes last(packed.begin(), packed.end() - 1);
  EXPECT_TRUE(EncodePass(last).has_value()) << "the buffer would have taken a 256th pass";
  const auto unpacked = Decode(packed);
  ASSERT_TRUE(unpacked.ok()) << unpacked.error();
  EXPECT_EQ(*unpacked, x);
}

// --- Round trips ------------------------------------------------------------------

struct RandomCase {
  std::size_t size;
  unsigned distinct;
};

class PackerRandomTest : public ::testing::TestWithParam<RandomCase> {};

TEST_P(PackerRandomTest, RoundTrips) {
  Rng rng(static_cast<unsigned>(GetParam().size * 977 + GetParam().distinct));
  for (int i = 0; i < 20; ++i) {
    const Bytes x = test::RandomBytes(rng, GetParam().size, GetParam().distinct, rng() % 256);
    ExpectRoundTrip(x, "size " + std::to_string(GetParam().size) + " distinct " + std::to_string(GetParam().distinct) +
                           " #" + std::to_string(i));
  }
}

INSTANTIATE_TEST_SUITE_P(Buffers, PackerRandomTest, ::testing::ValuesIn([] {
                           std::vector<RandomCase> cases;
                           for (std::size_t size : {1, 2, 3, 7, 8, 14, 133, 134, 135, 269, 1000, 8208, 30000})
                             for (unsigned distinct : {1u, 2u, 3u, 16u, 256u}) cases.push_back({size, distinct});
                           return cases;
                         }()));

TEST(Packer, RoundTripsRunsLongerThan134) {
  Rng rng(1234);
  for (int i = 0; i < 200; ++i) {
    Bytes x;
    const std::size_t runs = 1 + rng() % 40;
    for (std::size_t r = 0; r < runs; ++r) {
      const std::size_t length = 1 + rng() % 600;  // often past 134 and 268
      if (rng() % 3 == 0) {
        const Bytes noise = test::RandomBytes(rng, length, 256);
        x.insert(x.end(), noise.begin(), noise.end());
      } else {
        x.insert(x.end(), length, static_cast<std::uint8_t>(rng() % 4));
      }
    }
    ExpectRoundTrip(x, "runs #" + std::to_string(i));
  }
}

TEST(Packer, RoundTripsImages) {
  ExpectRoundTrip(PlainImage(BlankImage()), "blank image");
  for (unsigned seed = 1; seed <= 5; ++seed) ExpectRoundTrip(PlainImage(test::VariedImage(seed)), "varied image");
}

TEST(Packer, BlankImagePacksSmall) {
  const Bytes plain = PlainImage(BlankImage());
  const Bytes packed = Encode(plain);
  EXPECT_GE(packed.back(), 2) << "several passes";
  EXPECT_LT(packed.size(), plain.size() / 20) << "a small fraction of 8208 bytes";
  EXPECT_EQ(Decode(packed).value(), plain);
}

// --- Malformed input ----------------------------------------------------------------

struct MalformedCase {
  const char* what;
  Bytes packed;
};

class DecodeMalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(DecodeMalformedTest, FailsWithAReason) {
  const auto decoded = Decode(GetParam().packed);
  ASSERT_FALSE(decoded.ok()) << GetParam().what;
  EXPECT_FALSE(decoded.error().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DecodeMalformedTest,
    ::testing::Values(
        MalformedCase{"empty", {}}, MalformedCase{"a pass of nothing", {0x01}},
        MalformedCase{"header cut short", {0x00, 0x00, 0x05, 0x41, 0x00, 0x01}},
        MalformedCase{"length below the M and C fields", {0x00, 0x00, 0x03, 0x41, 0x00, 0x00, 0x00, 0x01}},
        MalformedCase{"length past the end", {0x00, 0x00, 0xFF, 0x41, 0x00, 0x00, 0x01, 0x40, 0x01}},
        MalformedCase{"length far past the end", {0xFF, 0xFF, 0xFF, 0x41, 0x00, 0x00, 0x01, 0x40, 0x01}},
        MalformedCase{"no control byte for a removed value", {0x00, 0x00, 0x04, 0x41, 0x00, 0x00, 0x01, 0x01}},
        MalformedCase{"control bytes end early", {0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x09, 0x7F, 0x01}},
        MalformedCase{"literals end inside a group", {0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x02, 0x20, 0x01}},
        MalformedCase{"literals end inside a run", {0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x01, 0x80, 0x61, 0x62, 0x01}},
        MalformedCase{"literals end inside 0xFF", {0x00, 0x00, 0x06, 0x41, 0x00, 0x00, 0x01, 0xFF, 0x40, 0x61, 0x01}},
        MalformedCase{"huge count", {0x00, 0x00, 0x05, 0x41, 0xFF, 0xFF, 0xFF, 0x7F, 0x01}},
        MalformedCase{"second pass on plain data", {0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x01, 0x40, 0x02}},
        MalformedCase{"255 passes on text", {'S', 'L', 'Q', 'F', 'E', 'O', 0xFF}},
        MalformedCase{"255 passes on one pass", {0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x01, 0x40, 0xFF}}));

TEST(Decode, SmallestPasses) {
  EXPECT_EQ(Decode(Bytes{0x00, 0x00, 0x05, 0x41, 0x00, 0x00, 0x01, 0x40, 0x01}).value(), Bytes{0x41});
  // No removed value at all: the literals come back as they are.
  EXPECT_EQ(Decode(Bytes{0x00, 0x00, 0x04, 0x41, 0x00, 0x00, 0x00, 0x42, 0x43, 0x01}).value(), (Bytes{0x42, 0x43}));
}

// A crafted count must not make Decode reserve or write more than the cap.
TEST(Decode, RefusesOutputBeyondTheCap) {
  // One run byte per removed value: 4 + n control bytes, 7n literals, n M.
  const Bytes pass = PassOutput(0x41, 3, {0x80, 0x80, 0x80}, Bytes(21, 0x42));
  EXPECT_EQ(DecodePass(pass, 24).value().size(), 24u);
  EXPECT_FALSE(DecodePass(pass, 23).ok());

  const Bytes huge = PassOutput(0x41, kMaxUnpackedSize + 1, {0x7F}, {});
  EXPECT_FALSE(DecodePass(huge).ok());
  EXPECT_FALSE(Decode(Concat({huge, {0x01}})).ok());
}

// Garbage and truncated packs never crash or read past the end (the sanitizer
// build checks the reading) and either fail or give some bytes.
TEST(Decode, GarbageAndTruncationNeverCrash) {
  Rng rng(99);
  for (int i = 0; i < 20000; ++i) {
    Bytes garbage = test::RandomBytes(rng, rng() % 64, i % 2 ? 256 : 3);
    if (!garbage.empty() && i % 4 == 0) garbage.back() = static_cast<std::uint8_t>(1 + rng() % 3);
    (void)Decode(garbage);
  }
  const Bytes plain = PlainImage(test::VariedImage());
  const Bytes packed = Encode(plain);
  for (std::size_t n = 0; n < packed.size(); ++n) {
    const Bytes prefix(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(n));
    const auto decoded = Decode(prefix);
    if (decoded.ok()) {
      EXPECT_NE(*decoded, plain) << n;
    }
  }
}

}  // namespace
}  // namespace orvex
