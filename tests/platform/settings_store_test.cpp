#include "platform/profile/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/files.h"
#include "platform/profile/recent_file_list.h"
#include "support/temp_folder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public ::testing::Test {
 protected:
  static std::string Get(const fs::path& path) { return test::ReadText(path); }

  test::TempFolder temp_{"store"};
  fs::path folder_ = temp_.path();
  fs::path path_ = folder_ / "config" / "Tessara.ini";
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsStorePath, UsesXdgConfigHomeWhenItIsAbsolute) {
  ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/conf");
  ScopedEnv home("HOME", "/home/someone");
  EXPECT_EQ(SettingsStore::DefaultPath(), fs::path("/xdg/conf/Local AppWizard-Generated Applications/Tessara.ini"));
}

TEST(SettingsStorePath, FallsBackToDotConfigUnderHome) {
  ScopedEnv home("HOME", "/home/someone");
  const fs::path expected("/home/someone/.config/Local AppWizard-Generated Applications/Tessara.ini");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(SettingsStore::DefaultPath(), expected);
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "");
    EXPECT_EQ(SettingsStore::DefaultPath(), expected);
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/conf");  // not absolute: ignored
    EXPECT_EQ(SettingsStore::DefaultPath(), expected);
  }
}

TEST_F(SettingsStoreTest, EmptyStoreAnswersTheFallbacksAndCreatesNoFile) {
  SettingsStore store(path_);
  EXPECT_EQ(store.GetProfileInt(SettingsStore::kSection, "KELWidth", 8), 8);
  EXPECT_EQ(store.GetProfileString(SettingsStore::kSection, "KELLanguageSetting", "none"), "none");
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(SettingsStoreTest, WrittenValuesSurviveReopening) {
  {
    SettingsStore store(path_);
    store.WriteProfileInt(SettingsStore::kSection, "KELWidth", 16);
    store.WriteProfileInt(SettingsStore::kSection, "KELHeight", -2);
    store.WriteProfileString(SettingsStore::kSection, "KELLanguageSetting", "Chinese");
    store.WriteProfileString("Ports", "COM1", "/dev/ttyUSB0");
    EXPECT_EQ(store.GetProfileInt(SettingsStore::kSection, "KELWidth", 0), 16);
  }
  SettingsStore reopened(path_);
  EXPECT_EQ(reopened.GetProfileInt("norvik soft", "kelwidth", 0), 16);
  EXPECT_EQ(reopened.GetProfileInt(SettingsStore::kSection, "KELHeight", 0), -2);
  EXPECT_EQ(reopened.GetProfileString(SettingsStore::kSection, "KELLanguageSetting", ""), "Chinese");
  EXPECT_EQ(reopened.GetProfileString("Ports", "COM1", ""), "/dev/ttyUSB0");
}

TEST_F(SettingsStoreTest, FailedWriteThrowsAndForgetsTheNewValue) {
  std::ofstream(folder_ / "blocker") << "a file, not a folder";
  SettingsStore store(folder_ / "blocker" / "Tessara.ini");
  EXPECT_THROW(store.WriteProfileInt(SettingsStore::kSection, "KELWidth", 32), FileError);
  EXPECT_EQ(store.GetProfileInt(SettingsStore::kSection, "KELWidth", 8), 8);

  // A program that must go on hears of every failure and keeps the values for the session.
  std::vector<std::string> failures;
  store.SetWriteFailureHandler([&failures](const FileError& error) { failures.emplace_back(error.what()); });
  EXPECT_NO_THROW(store.WriteProfileInt(SettingsStore::kSection, "KELWidth", 32));
  EXPECT_NO_THROW(store.WriteProfileString("Recent File List", "File1", "/a.tz"));
  EXPECT_EQ(store.GetProfileInt(SettingsStore::kSection, "KELWidth", 8), 32);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("blocker"), std::string::npos) << failures[0];
}

// The file-size limit makes the rewrite fail half-way, even for root.
TEST_F(SettingsStoreTest, FailedWriteLeavesTheStoredFileAsItWas) {
  SettingsStore store(path_);
  store.WriteProfileInt(SettingsStore::kSection, "KELWidth", 8);
  const std::string before = Get(path_);

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = saved;
  tight.rlim_cur = 4;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  bool threw = false;
  try {
    store.WriteProfileInt(SettingsStore::kSection, "KELWidth", 32);
  } catch (const FileError&) {
    threw = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(Get(path_), before);
  EXPECT_EQ(store.GetProfileInt(SettingsStore::kSection, "KELWidth", 0), 8);
  EXPECT_EQ(SettingsStore(path_).GetProfileInt(SettingsStore::kSection, "KELWidth", 0), 8);
}

using Files = std::vector<std::string>;

TEST_F(SettingsStoreTest, RecentFilesAreNewestFirst) {
  SettingsStore store(path_);
  RecentFileList recent(store, 4);
  EXPECT_TRUE(recent.Files().empty());
  recent.Add("/d/a.tz");
  recent.Add("/d/b.tz");
  recent.Add("/d/c.tz");
  EXPECT_EQ(recent.Files(), (Files{"/d/c.tz", "/d/b.tz", "/d/a.tz"}));
}

TEST_F(SettingsStoreTest, ReAddedRecentFileMovesToTheFront) {
  SettingsStore store(path_);
  RecentFileList recent(store, 4);
  for (const char* f : {"/d/a.tz", "/d/b.tz", "/d/c.tz", "/d/a.tz"}) recent.Add(f);
  EXPECT_EQ(recent.Files(), (Files{"/d/a.tz", "/d/c.tz", "/d/b.tz"}));
}

TEST_F(SettingsStoreTest, FifthRecentFilePushesTheOldestOut) {
  SettingsStore store(path_);
  RecentFileList recent(store, 4);
  for (const char* f : {"/d/1.tz", "/d/2.tz", "/d/3.tz", "/d/4.tz", "/d/5.tz"}) recent.Add(f);
  EXPECT_EQ(recent.Files(), (Files{"/d/5.tz", "/d/4.tz", "/d/3.tz", "/d/2.tz"}));
}

TEST_F(SettingsStoreTest, RecentFilesSurviveReopeningTheStore) {
  {
    SettingsStore store(path_);
    RecentFileList recent(store, 4);
    for (const char* f : {"/d/1.tz", "/d/2 with spaces.tz", "/d/3.tz", "/d/4.tz", "/d/5.tz", "/d/3.tz"}) recent.Add(f);
    recent.Remove("/d/4.tz");
  }
  SettingsStore store(path_);
  RecentFileList recent(store, 4);
  EXPECT_EQ(recent.Files(), (Files{"/d/3.tz", "/d/5.tz", "/d/2 with spaces.tz"}));
}

}  // namespace
}  // namespace lumetra
