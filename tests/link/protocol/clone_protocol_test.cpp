#include "link/clone_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

#include "sim/sim_radio.h"

namespace orvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kGreetingBytes(std::begin(kGreeting), std::end(kGreeting));
const Bytes kIdentOk = {0x06, 'T', 'Z', '4', '1', '7', 0x12, 0x34};

// Every byte different from its neighbours, so a shifted row shows.
Image Patterned(std::uint8_t seed) {
  Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + seed + i / 256);
  return image;
}

Bytes ReadReply(const Image& radio, const Bytes& request) {
  Bytes reply = {0x57, request[1], request[2], request[3]};
  const std::size_t address = std::size_t{request[1]} << 8 | request[2];
  reply.insert(reply.end(), radio.begin() + static_cast<std::ptrdiff_t>(address),
               radio.begin() + static_cast<std::ptrdiff_t>(address + request[3]));
  return reply;
}

// Plays a well-behaved radio for the protocol; records every frame.
struct Exchange {
  std::vector<Bytes> frames;
  CloneOutcome outcome = CloneOutcome::Continue;
};

Exchange RunAgainst(CloneProtocol& protocol, SimRadio& radio) {
  Exchange exchange;
  while (exchange.outcome == CloneOutcome::Continue && exchange.frames.size() < 1000) {
    const CloneFrame frame = protocol.NextFrame();
    exchange.frames.push_back(frame.bytes);
    std::optional<SimFrame> answered;
    for (const std::uint8_t byte : frame.bytes) answered = radio.Feed(byte);
    if (!answered) ADD_FAILURE() << "the radio did not take a whole frame";
    exchange.outcome = protocol.Reply(answered ? answered->reply : Bytes{});
  }
  return exchange;
}

int CountOf(const std::vector<Bytes>& frames, std::uint8_t command, std::size_t size) {
  return static_cast<int>(
      std::count_if(frames.begin(), frames.end(), [&](const Bytes& f) { return f[0] == command && f.size() == size; }));
}

TEST(ClonePlan, ReadBlocksCoverTheTransferredRegionsInOrder) {
  const auto blocks = ReadBlockRows();
  ASSERT_EQ(blocks.size(), 73u);
  EXPECT_EQ(blocks.front(), 1);
  EXPECT_EQ(blocks[31], 125);
  EXPECT_EQ(blocks[32], 257);
  EXPECT_EQ(blocks[63], 381);
  const std::vector<int> tail = {129, 226, 385, 453, 457, 461, 465, 469, 473};
  EXPECT_TRUE(std::equal(tail.begin(), tail.end(), blocks.end() - static_cast<std::ptrdiff_t>(tail.size())));
  int bytes = 0;
  for (const int row : blocks) bytes += ReadBlockLength(row) * 16;
  EXPECT_EQ(bytes, 4624);
}

TEST(ClonePlan, WriteSends285RowsAndNeverTheRadiosOwn) {
  const auto rows = WritePlanRows();
  ASSERT_EQ(rows.size(), 285u);
  const std::set<int> unique(rows.begin(), rows.end());
  EXPECT_EQ(unique.size(), rows.size());
  for (const int never : {0, 131, 132, 387, 388}) EXPECT_EQ(unique.count(never), 0u) << never;
  for (int row = 474; row < 512; ++row) EXPECT_EQ(unique.count(row), 0u) << row;
  for (const int row : rows) EXPECT_TRUE(IsReadRow(row)) << "a written row is also read: " << row;
  // Channels, names, VFOs, options, offsets, signalling.
  const std::vector<std::pair<int, int>> runs = {{1, 128}, {257, 384}, {129, 130}, {226, 229}, {385, 386}, {453, 473}};
  std::vector<int> expected;
  for (const auto& [first, last] : runs)
    for (int row = first; row <= last; ++row) expected.push_back(row);
  EXPECT_EQ(rows, expected);
}

TEST(ClonePlan, ReadRowsAreExactlyTheMappedRegions) {
  int count = 0;
  for (int row = 0; row < 512; ++row) {
    const bool expected = (row >= 1 && row <= 132) || (row >= 226 && row <= 229) || (row >= 257 && row <= 388) ||
                          (row >= 453 && row <= 473);
    EXPECT_EQ(IsReadRow(row), expected) << row;
    count += IsReadRow(row);
  }
  EXPECT_EQ(count, 4624 / 16);
}

TEST(CloneProtocol, FullReadSends73RequestsAnd74AcknowledgesAndStoresOnlyReadRows) {
  const Image radioImage = Patterned(3);
  SimRadio radio(radioImage, {});
  Image staging = Patterned(200);
  const Image before = staging;
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  const Exchange exchange = RunAgainst(protocol, radio);

  EXPECT_EQ(exchange.outcome, CloneOutcome::Completed);
  EXPECT_TRUE(protocol.done() && protocol.succeeded() && protocol.stopped());
  EXPECT_EQ(exchange.frames.size(), 149u);
  EXPECT_EQ(exchange.frames.front(), kGreetingBytes);
  EXPECT_EQ(exchange.frames[1], Bytes{0x02});
  EXPECT_EQ(CountOf(exchange.frames, 0x52, 4), 73);
  EXPECT_EQ(CountOf(exchange.frames, 0x06, 1), 74);
  EXPECT_EQ(exchange.frames.back(), Bytes{0x06});
  EXPECT_EQ(exchange.frames[exchange.frames.size() - 2], (Bytes{0x52, 0x1D, 0x90, 0x10}));
  EXPECT_EQ(protocol.progress(), 73);
  // Requests alternate with acknowledges after the start acknowledge.
  for (std::size_t i = 3; i < exchange.frames.size(); i += 2) EXPECT_EQ(exchange.frames[i][0], 0x52) << i;
  for (int row = 0; row < 512; ++row)
    for (std::size_t column = 0; column < 16; ++column) {
      const auto address = Address(row, column);
      ASSERT_EQ(staging[address], IsReadRow(row) ? radioImage[address] : before[address]) << row << "," << column;
    }
}

TEST(CloneProtocol, ReadRequestsCarryAddressHighByteFirst) {
  Image staging{};
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  protocol.NextFrame();
  ASSERT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Continue);
  protocol.NextFrame();
  ASSERT_EQ(protocol.Reply(kIdentOk), CloneOutcome::Continue);
  protocol.NextFrame();
  ASSERT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Continue);
  const CloneFrame first = protocol.NextFrame();
  EXPECT_EQ(first.bytes, (Bytes{0x52, 0x00, 0x10, 0x40}));
  EXPECT_EQ(first.replyCount, 68u);
}

TEST(CloneProtocol, FullWriteSendsThePlanRowsFromTheImage) {
  Image image = Patterned(9);
  SimRadio radio(Patterned(77), {});
  CloneProtocol protocol(image);
  protocol.Start(CloneDirection::Write);
  const Exchange exchange = RunAgainst(protocol, radio);

  EXPECT_EQ(exchange.outcome, CloneOutcome::Completed);
  EXPECT_EQ(exchange.frames.size(), 288u);  // greeting, identify, acknowledge, 285 rows
  EXPECT_EQ(exchange.frames[2], Bytes{0x06});
  EXPECT_EQ(protocol.progress(), 285);
  std::vector<int> written;
  for (std::size_t i = 3; i < exchange.frames.size(); ++i) {
    const Bytes& frame = exchange.frames[i];
    ASSERT_EQ(frame.size(), 20u);
    ASSERT_EQ(frame[0], 0x57);
    ASSERT_EQ(frame[3], 0x10);
    const int row = (frame[1] << 8 | frame[2]) / 16;
    written.push_back(row);
    EXPECT_TRUE(std::equal(frame.begin() + 4, frame.end(), RowOf(image, row).begin())) << row;
  }
  EXPECT_EQ(written, WritePlanRows());
  EXPECT_EQ(written.back(), 473);
  EXPECT_EQ(exchange.frames[3],
            (Bytes{0x57,        0x00,        0x10,        0x10,        image[0x10], image[0x11], image[0x12],
                   image[0x13], image[0x14], image[0x15], image[0x16], image[0x17], image[0x18], image[0x19],
                   image[0x1A], image[0x1B], image[0x1C], image[0x1D], image[0x1E], image[0x1F]}));
}

TEST(CloneProtocol, WriteAcceptsAnyRowAcknowledgement) {
  Image image = Patterned(1);
  CloneProtocol protocol(image);
  protocol.Start(CloneDirection::Write);
  for (const Bytes& reply : {Bytes{0x06}, kIdentOk, Bytes{0x06}}) {
    protocol.NextFrame();
    ASSERT_EQ(protocol.Reply(reply), CloneOutcome::Continue);
  }
  CloneOutcome outcome = CloneOutcome::Continue;
  int rows = 0;
  while (outcome == CloneOutcome::Continue) {
    protocol.NextFrame();
    outcome = protocol.Reply(Bytes{0x15});
    ++rows;
  }
  EXPECT_EQ(outcome, CloneOutcome::Completed);
  EXPECT_EQ(rows, 285);
}

struct GreetingCase {
  std::uint8_t reply;
  CloneOutcome expected;
};

class GreetingReply : public testing::TestWithParam<GreetingCase> {};

TEST_P(GreetingReply, LowNibbleSixIsAccepted) {
  Image image{};
  CloneProtocol protocol(image);
  protocol.Start(CloneDirection::Read);
  EXPECT_EQ(protocol.NextFrame().replyCount, 1u);
  EXPECT_EQ(protocol.Reply(Bytes{GetParam().reply}), GetParam().expected);
  EXPECT_FALSE(protocol.done());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, GreetingReply,
    testing::Values(GreetingCase{0x06, CloneOutcome::Continue}, GreetingCase{0x16, CloneOutcome::Continue},
                    GreetingCase{0xF6, CloneOutcome::Continue}, GreetingCase{0x05, CloneOutcome::Failed},
                    GreetingCase{0x07, CloneOutcome::Failed}, GreetingCase{0x60, CloneOutcome::Failed},
                    GreetingCase{0x15, CloneOutcome::Failed}));

TEST(CloneProtocol, EveryGreetingByteIsJudgedByItsLowNibble) {
  for (int byte = 0; byte < 256; ++byte) {
    Image image{};
    CloneProtocol protocol(image);
    protocol.Start(CloneDirection::Write);
    protocol.NextFrame();
    const auto outcome = protocol.Reply(Bytes{static_cast<std::uint8_t>(byte)});
    EXPECT_EQ(outcome, (byte & 0x0F) == 6 ? CloneOutcome::Continue : CloneOutcome::Failed) << byte;
  }
}

struct IdentCase {
  Bytes reply;
  CloneOutcome expected;
};

class IdentifyReply : public testing::TestWithParam<IdentCase> {};

TEST_P(IdentifyReply, MismatchIsDoneButNotSucceeded) {
  for (const auto direction : {CloneDirection::Read, CloneDirection::Write}) {
    Image image{};
    CloneProtocol protocol(image);
    protocol.Start(direction);
    protocol.NextFrame();
    ASSERT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Continue);
    EXPECT_EQ(protocol.NextFrame().replyCount, 8u);
    const CloneOutcome outcome = protocol.Reply(GetParam().reply);
    EXPECT_EQ(outcome, GetParam().expected);
    EXPECT_EQ(protocol.done(), outcome == CloneOutcome::ModelMismatch);
    EXPECT_FALSE(protocol.succeeded());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, IdentifyReply,
    testing::Values(IdentCase{kIdentOk, CloneOutcome::Continue},
                    IdentCase{{0x06, 'T', 'Z', '4', '1', '7', 0xFF, 0x00}, CloneOutcome::Continue},
                    IdentCase{{0x15, 'T', 'Z', '4', '1', '7', 0x00, 0x00}, CloneOutcome::ModelMismatch},
                    IdentCase{{0x06, 'T', 'Z', '4', '1', '8', 0x00, 0x00}, CloneOutcome::ModelMismatch},
                    IdentCase{{0x06, 't', 'z', '4', '1', '7', 0x00, 0x00}, CloneOutcome::ModelMismatch},
                    // Short: not enough bytes is a failure, not a mismatch.
                    IdentCase{{0x06, 'T', 'Z', '4', '1', '7', 0x00}, CloneOutcome::Failed}));

TEST(CloneProtocol, StrayBytesBeforeAReadReplyAreSkipped) {
  const Image radioImage = Patterned(5);
  Image staging{};
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  for (const Bytes& reply : {Bytes{0x06}, kIdentOk, Bytes{0x06}}) {
    protocol.NextFrame();
    ASSERT_EQ(protocol.Reply(reply), CloneOutcome::Continue);
  }
  const CloneFrame request = protocol.NextFrame();
  Bytes received = {0xAA, 0x55};  // two stray bytes, then the 68-byte reply
  const Bytes reply = ReadReply(radioImage, request.bytes);
  received.insert(received.end(), reply.begin(), reply.end());
  ASSERT_EQ(received.size(), 70u);
  ASSERT_EQ(protocol.Reply(received), CloneOutcome::Continue);
  for (int row = 1; row <= 4; ++row)
    EXPECT_TRUE(std::ranges::equal(RowOf(staging, row), RowOf(radioImage, row))) << row;
  EXPECT_EQ(protocol.progress(), 1);
}

TEST(CloneProtocol, ShortReplyFailsAndLaterRepliesAreIgnored) {
  Image staging = Patterned(4);
  const Image before = staging;
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  for (const Bytes& reply : {Bytes{0x06}, kIdentOk, Bytes{0x06}}) {
    protocol.NextFrame();
    ASSERT_EQ(protocol.Reply(reply), CloneOutcome::Continue);
  }
  protocol.NextFrame();
  EXPECT_EQ(protocol.Reply(Bytes(67, 0x11)), CloneOutcome::Failed);
  EXPECT_TRUE(protocol.stopped());
  EXPECT_FALSE(protocol.done());
  EXPECT_EQ(protocol.Reply(Bytes(68, 0x11)), CloneOutcome::Ignored);
  EXPECT_EQ(staging, before);
}

TEST(CloneProtocol, ReplyWithoutAFrameInFlightIsIgnored) {
  Image staging{};
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  EXPECT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Ignored);
  protocol.NextFrame();
  EXPECT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Continue);
  EXPECT_EQ(protocol.replyCount(), 0u);
  // A duplicate for the frame already judged.
  EXPECT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Ignored);
}

TEST(CloneProtocol, BadAcknowledgeFailsTheTransfer) {
  for (const auto direction : {CloneDirection::Read, CloneDirection::Write}) {
    Image staging{};
    CloneProtocol protocol(staging);
    protocol.Start(direction);
    for (const Bytes& reply : {Bytes{0x06}, kIdentOk}) {
      protocol.NextFrame();
      ASSERT_EQ(protocol.Reply(reply), CloneOutcome::Continue);
    }
    EXPECT_EQ(protocol.NextFrame().bytes, Bytes{0x06});
    EXPECT_EQ(protocol.Reply(Bytes{0x16}), CloneOutcome::Failed);
    EXPECT_FALSE(protocol.done());
  }
}

TEST(CloneProtocol, StartResetsAfterAnOutcome) {
  Image staging{};
  CloneProtocol protocol(staging);
  protocol.Start(CloneDirection::Read);
  protocol.NextFrame();
  ASSERT_EQ(protocol.Reply(Bytes{0x00}), CloneOutcome::Failed);
  protocol.Start(CloneDirection::Read);
  EXPECT_FALSE(protocol.stopped());
  EXPECT_EQ(protocol.NextFrame().bytes, kGreetingBytes);
  EXPECT_EQ(protocol.Reply(Bytes{0x06}), CloneOutcome::Continue);
}

TEST(CloneProgress, TextCountsThePlanNotTheBarsScale) {
  struct Case {
    TransferStage stage;
    int done;
    int language;
    const char* text;
  };
  const Case cases[] = {
      {TransferStage::Reading, 34, 0, "Reading 34 of 73"},
      {TransferStage::Reading, kReadProgressMaximum, 0, "Reading 73 of 73"},  // the bar's end
      {TransferStage::Writing, 120, 0, "Writing 120 of 285"},
      {TransferStage::Writing, kWriteProgressMaximum, 0, "Writing 285 of 285"},
      {TransferStage::Verifying, 12, 0, "Verifying 12 of 73"},
      {TransferStage::BackingUp, 0, 0, "Backing up the radio 0 of 73"},
      {TransferStage::Reading, -1, 0, "Reading 0 of 73"},
      {TransferStage::Writing, 7, 1, "正在写入 7 / 285"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressText(c.stage, c.done, c.language), c.text) << c.text;
  EXPECT_EQ(RadioModelName(), "TZ417");
}

TEST(SimRadio, IgnoresThePortTestAndAnswersOnlyAfterAGreeting) {
  SimRadio radio(BlankImage(), {});
  for (const char c : std::string("ATI1\r")) EXPECT_FALSE(radio.Feed(static_cast<std::uint8_t>(c)));
  EXPECT_FALSE(radio.Feed(0x02));  // no session yet
  std::optional<SimFrame> frame;
  for (const std::uint8_t byte : kGreetingBytes) frame = radio.Feed(byte);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->reply, Bytes{0x06});
  EXPECT_EQ(radio.TakeDiscarded().size(), 6u);
}

}  // namespace
}  // namespace orvex
