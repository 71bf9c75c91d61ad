// Replays every input the fuzzers were seeded with or ever found a fault
// with, so a fixed fault stays fixed in the ordinary test run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "codeplug/codeplug_file.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const char* folder) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(ORVEX_SOURCE_DIR) / "fuzz" / folder;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
  return files;
}

Bytes Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Replay(const fs::path& path) {
  SCOPED_TRACE(path.filename().string());
  const Bytes input = Contents(path);
  const auto decoded = Decode(input);
  if (decoded.ok()) {
    EXPECT_LE(decoded->size(), kMaxUnpackedSize);
  } else {
    EXPECT_FALSE(decoded.error().empty());
  }
  const ParsedCodeplug parsed = ParseCodeplug(input);
  if (parsed.check == CodeplugCheck::Ok) {
    EXPECT_EQ(ParseCodeplug(PackCodeplug(parsed.image)).image, parsed.image);
  } else {
    EXPECT_FALSE(parsed.detail.empty());
  }
}

TEST(FuzzRegressions, FoundInputsStayHarmless) {
  for (const auto& path : FilesIn("regressions")) Replay(path);
}

TEST(FuzzRegressions, SeedCodeplugsOpen) {
  const auto seeds = FilesIn("seeds");
  ASSERT_FALSE(seeds.empty()) << "fuzz/seeds is missing";
  for (const auto& path : seeds) {
    Replay(path);
    if (path.extension() == ".tw") {
      EXPECT_EQ(ParseCodeplug(Contents(path)).check, CodeplugCheck::Ok) << path.filename();
    }
  }
}

}  // namespace
}  // namespace orvex
