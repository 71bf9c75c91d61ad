// Replays the JSON fuzzer's seeds and every input it ever found a fault
// with, so a fixed fault stays fixed in the ordinary test run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../fuzz/json_check.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(JsonFuzzRegressions, SeedsAndFoundInputsStayHarmless) {
  const fs::path fuzz = fs::path(ORVEX_SOURCE_DIR) / "fuzz";
  int seeds = 0;
  for (const auto& entry : fs::directory_iterator(fuzz / "json_seeds")) {
    SCOPED_TRACE(entry.path().filename().string());
    const std::string text = Contents(entry.path());
    EXPECT_TRUE(ParseJsonDocument(text).ok());
    fuzz::CheckJsonDocument(text);
    ++seeds;
  }
  EXPECT_GT(seeds, 0) << "fuzz/json_seeds is missing";
  for (const auto& entry : fs::directory_iterator(fuzz / "regressions")) {
    if (entry.path().filename().string().rfind("json_fuzz-", 0) != 0) continue;
    SCOPED_TRACE(entry.path().filename().string());
    fuzz::CheckJsonDocument(Contents(entry.path()));
  }
}

}  // namespace
}  // namespace orvex
