// The cable doctor's verdicts from what the system and the line report,
// with the error codes and replies given directly.

#include "link/cable_doctor.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "link/clone_protocol.h"

namespace orvex {
namespace {

std::vector<std::uint8_t> Greeting() { return {std::begin(kGreeting), std::end(kGreeting)}; }
std::vector<std::uint8_t> Ident(const char* model) {
  std::vector<std::uint8_t> reply = {0x06};
  for (int i = 0; i < 5; ++i) reply.push_back(static_cast<std::uint8_t>(model[i]));
  reply.push_back(0x00);
  reply.push_back(0x01);
  return reply;
}
std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(CableDoctorTest, OpenErrorsSayWhatToDo) {
  struct Case {
    int error;
    const char* text;
  };
  const Case cases[] = {
      {EACCES, "sudo usermod -aG"}, {EPERM, "log in again"},   {EBUSY, "Another program holds"},
      {ENOENT, "unplug the cable"}, {EIO, "cannot be opened"},
  };
  // /dev/null exists everywhere and has a group the help can name; root is
  // in every group only by its own, so the command is given either way.
  for (const Case& c : cases) {
    const DoctorCheck check = OpenVerdict(c.error, "/dev/null");
    EXPECT_EQ(check.verdict, DoctorVerdict::Fail);
    EXPECT_EQ(check.name, "open");
    if (c.error == EACCES || c.error == EPERM) {
      EXPECT_NE(check.text.find("permission denied"), std::string::npos) << check.text;
      EXPECT_NE(check.text.find("\"root\""), std::string::npos) << check.text;
    } else {
      EXPECT_NE(check.text.find(c.text), std::string::npos) << c.error << ": " << check.text;
    }
  }
}

TEST(CableDoctorTest, RepliesGiveTheVerdict) {
  struct Case {
    const char* name;
    DoctorExchange exchange;
    bool ours;
    const char* echo;
    const char* radio;
  };
  const Case cases[] = {
      {"radio of this model", {{0x06}, Ident("TZ417"), true}, true, "does not echo", "identified itself as this model"},
      {"echo, then this model",
       {Cat(Greeting(), {0x06}), Cat({0x02}, Ident("TZ417")), true},
       true,
       "echoes",
       "identified itself"},
      {"another model", {{0x06}, Ident("AB123"), true}, false, "does not echo", "another model (\"AB123\""},
      {"silent", {{}, {}, false}, false, "nothing came back", "nothing answered the greeting"},
      {"echo alone", {Greeting(), {}, false}, false, "echoes", "the cable echoes but no radio answered"},
      {"wrong greeting answer", {{0x15}, {}, false}, false, "does not echo", "instead of 06"},
      {"no identification", {{0x06}, {0x06, 'T'}, true}, false, "does not echo", "not the identify request"},
  };
  for (const Case& c : cases) {
    bool ours = !c.ours;
    const auto checks = ExchangeVerdicts(c.exchange, ours);
    ASSERT_EQ(checks.size(), 2u) << c.name;
    EXPECT_EQ(ours, c.ours) << c.name;
    EXPECT_NE(checks[0].text.find(c.echo), std::string::npos) << c.name << ": " << checks[0].text;
    EXPECT_NE(checks[1].text.find(c.radio), std::string::npos) << c.name << ": " << checks[1].text;
    EXPECT_EQ(checks[1].verdict, c.ours ? DoctorVerdict::Pass : DoctorVerdict::Fail) << c.name;
  }
}

TEST(CableDoctorTest, CounterfeitAdaptersAreNamed) {
  struct Case {
    const char *vendor, *product, *maker, *description;
    DoctorVerdict verdict;
    const char* text;
  };
  const Case cases[] = {
      {"0403", "6001", "FTDI", "FT232R USB UART", DoctorVerdict::Pass, "0403:6001 FTDI FT232R USB UART"},
      {"0403", "0000", "FTDI", "FT232R USB UART", DoctorVerdict::Warn, "counterfeit FTDI"},
      {"067b", "2303", "Prolific Technology Inc.", "USB-Serial Controller", DoctorVerdict::Pass, "067b:2303"},
      {"067b", "2303", "Prolific", "PL2303HXA PHASED OUT SINCE 2012", DoctorVerdict::Warn,
       "counterfeit or discontinued"},
      {"1a86", "7523", "", "USB2.0-Serial", DoctorVerdict::Pass, "(no maker given)"},
  };
  for (const Case& c : cases) {
    const DoctorCheck check = AdapterVerdict(c.vendor, c.product, c.maker, c.description);
    EXPECT_EQ(check.verdict, c.verdict) << check.text;
    EXPECT_NE(check.text.find(c.text), std::string::npos) << check.text;
  }
}

}  // namespace
}  // namespace orvex
