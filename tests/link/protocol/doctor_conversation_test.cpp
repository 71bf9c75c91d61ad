// The cable doctor's exchange driven step by step, as a face that moves the
// bytes itself drives it: what it sends, when a reply is enough, and the
// verdict on the whole.

#include <gtest/gtest.h>

#include "link/clone_protocol.h"
#include "link/doctor_verdicts.h"

namespace orvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kHello(std::begin(kGreeting), std::end(kGreeting));
const Bytes kOurs = {0x06, 'T', 'Z', '4', '1', '7', 0x00, 0x01};

TEST(DoctorConversationTest, StepsAndVerdicts) {
  struct Case {
    const char* name;
    std::vector<Bytes> greetingChunks, identifyChunks;  // as they arrive; empty: silence until the limit
    bool identifyAsked;
    bool enoughAfterLastChunk;  // of the greeting's reply
    bool ours;
  };
  const Case cases[] = {
      {"this model", {{0x06}}, {{0x06, 'T', 'Z'}, {'4', '1', '7', 0x00, 0x01}}, true, true, true},
      {"silent", {}, {}, false, false, false},
      {"echo then the answer", {kHello, {0x06}}, {{0x02}, kOurs}, true, true, true},
      {"echo alone", {kHello}, {}, false, false, false},
      {"wrong answer", {{0x15}}, {}, false, true, false},
      {"another model", {{0x06}}, {{0x06, 'A', 'B', '1', '2', '3', 0, 1}}, true, true, false},
  };
  for (const Case& c : cases) {
    DoctorConversation talk;
    EXPECT_EQ(talk.Next(), kHello) << c.name;
    bool enough = false;
    for (const Bytes& chunk : c.greetingChunks) enough = talk.Received(chunk);
    EXPECT_EQ(enough, c.enoughAfterLastChunk) << c.name;
    const Bytes second = talk.Next();
    EXPECT_EQ(second, c.identifyAsked ? Bytes{0x02} : Bytes{}) << c.name;
    if (c.identifyAsked) {
      for (std::size_t i = 0; i < c.identifyChunks.size(); ++i)
        EXPECT_EQ(talk.Received(c.identifyChunks[i]), i + 1 == c.identifyChunks.size()) << c.name << " chunk " << i;
      EXPECT_TRUE(talk.Next().empty()) << c.name;
    }
    bool ours = !c.ours;
    const auto checks = ExchangeVerdicts(talk.exchange(), ours);
    EXPECT_EQ(ours, c.ours) << c.name;
    EXPECT_EQ(checks.back().verdict, c.ours ? DoctorVerdict::Pass : DoctorVerdict::Fail) << c.name;
  }
}

TEST(DoctorConversationTest, AnIdentifyNotSentIsNotCounted) {
  DoctorConversation talk;
  talk.Next();
  talk.Received(Bytes{0x06});
  ASSERT_EQ(talk.Next(), Bytes{0x02});
  talk.SendFailed();
  EXPECT_FALSE(talk.exchange().identifySent);
  EXPECT_TRUE(talk.Next().empty());
}

}  // namespace
}  // namespace orvex
