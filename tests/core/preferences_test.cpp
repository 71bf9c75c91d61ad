#include "core/preferences.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QSettings>
#include <QTemporaryDir>

namespace orvex {
namespace {

constexpr auto kLanguageKey = "SoftWare/ /ORVEX/Language";

// Every test gets its own empty per-user settings location, so the real
// user's choice is never read or overwritten.
class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
  }

  // The one settings file the store wrote into the isolated location.
  QString StoreFile() const {
    QStringList files;
    QDirIterator it(m_dir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files.size() == 1 ? files.front() : QString();
  }

  // Puts a raw text in the store, as another program or a hand edit might.
  void StoreRaw(const QString& text) {
    WriteLanguagePreference(0);
    const QString file = StoreFile();
    ASSERT_FALSE(file.isEmpty());
    QSettings raw(file, QSettings::IniFormat);
    raw.setValue(kLanguageKey, text);
    raw.sync();
  }

  QTemporaryDir m_dir;
};

TEST_F(PreferencesTest, NothingStoredStartsInEnglish) { EXPECT_EQ(ReadLanguagePreference(), 0); }

TEST_F(PreferencesTest, ChineseSurvivesARestart) {
  WriteLanguagePreference(1);
  EXPECT_EQ(ReadLanguagePreference(), 1);
  WriteLanguagePreference(0);
  EXPECT_EQ(ReadLanguagePreference(), 0);
}

TEST_F(PreferencesTest, StoredAsDecimalTextUnderTheKeyPath) {
  WriteLanguagePreference(1);
  const QString file = StoreFile();
  ASSERT_FALSE(file.isEmpty()) << "the preference was not written inside the isolated location";
  QSettings raw(file, QSettings::IniFormat);
  EXPECT_EQ(raw.value(kLanguageKey).toString(), "1");
  WriteLanguagePreference(0);
  raw.sync();
  EXPECT_EQ(raw.value(kLanguageKey).toString(), "0");
}

TEST_F(PreferencesTest, OutOfRangeIndexIsStoredAsEnglish) {
  WriteLanguagePreference(5);
  EXPECT_EQ(ReadLanguagePreference(), 0);
}

TEST_F(PreferencesTest, StoredTextsOtherThanOneReadAsEnglish) {
  const struct {
    const char* raw;
    int language;
  } cases[] = {{"1", 1}, {"0", 0}, {"", 0}, {"2", 0}, {"x", 0}, {" 1", 0}, {"01", 0}};
  for (const auto& c : cases) {
    StoreRaw(QString::fromUtf8(c.raw));
    EXPECT_EQ(ReadLanguagePreference(), c.language) << '"' << c.raw << '"';
  }
}

TEST_F(PreferencesTest, RecentFilesSurviveARestartBesideTheLanguage) {
  WriteLanguagePreference(1);
  WriteRecentFiles({"/a/club.tw", "/b/old.tw"});
  EXPECT_EQ(ReadRecentFiles(), (std::vector<std::string>{"/a/club.tw", "/b/old.tw"}));
  EXPECT_EQ(ReadLanguagePreference(), 1);
  EXPECT_EQ(StoreFile().isEmpty(), false) << "one store holds both";
}

TEST(RecentFiles, NewestFirstEachOnceAtMostTheLimit) {
  using List = std::vector<std::string>;
  const struct {
    List before;
    std::string path;
    List after;
  } cases[] = {
      {{}, "a", {"a"}},
      {{"a", "b"}, "c", {"c", "a", "b"}},
      {{"a", "b", "c"}, "b", {"b", "a", "c"}},
      {{"1", "2", "3", "4", "5", "6", "7", "8"}, "9", {"9", "1", "2", "3", "4", "5", "6", "7"}},
  };
  for (const auto& c : cases) EXPECT_EQ(WithRecentFile(c.before, c.path), c.after) << c.path;
}

}  // namespace
}  // namespace orvex
