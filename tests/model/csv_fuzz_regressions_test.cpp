// Replays the channel CSV fuzzer's seeds and every input it ever found a
// fault with, so a fixed fault stays fixed in the ordinary test run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../fuzz/csv_check.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& dir, const std::string& prefix) {
  std::vector<fs::path> files;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().filename().string().rfind(prefix, 0) == 0) files.push_back(entry.path());
  return files;
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(CsvFuzzRegressions, SeedsImportAndRoundTrip) {
  const auto seeds = FilesIn(fs::path(ORVEX_SOURCE_DIR) / "fuzz" / "csv_seeds", "");
  ASSERT_FALSE(seeds.empty()) << "fuzz/csv_seeds is missing";
  for (const auto& path : seeds) {
    SCOPED_TRACE(path.filename().string());
    const std::string text = Contents(path);
    EXPECT_TRUE(ImportChannelsCsv(BlankImage(), text, true).ok());
    fuzz::CheckChannelCsv(text);
  }
}

TEST(CsvFuzzRegressions, FoundInputsStayHarmless) {
  for (const auto& path : FilesIn(fs::path(ORVEX_SOURCE_DIR) / "fuzz" / "regressions", "csv_fuzz-")) {
    SCOPED_TRACE(path.filename().string());
    fuzz::CheckChannelCsv(Contents(path));
  }
}

}  // namespace
}  // namespace orvex
