#include "platform/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumetra {
namespace {

namespace fs = std::filesystem;

TEST(AppFolderFromExecutable, KeepsTheTrailingSeparator) {
  EXPECT_EQ(AppFolderFromExecutable("/opt/lumetra/bin/lumetra"), "/opt/lumetra/bin/");
  EXPECT_EQ(AppFolderFromExecutable("/lumetra"), "/");
  EXPECT_EQ(AppFolderFromExecutable("/opt/x/"), "/opt/x/");
  EXPECT_EQ(AppFolderFromExecutable("/opt/dir.d/my app"), "/opt/dir.d/");
}

TEST(AppFolderFromExecutable, PathWithoutSeparatorHasNoFolder) {
  EXPECT_EQ(AppFolderFromExecutable("lumetra"), "");
  EXPECT_EQ(AppFolderFromExecutable(""), "");
}

// The test programs are built into the same bin folder as the editor, beside
// the copied setting.ini.
TEST(InitAppPaths, FindsTheExecutablesFolderWhateverTheCurrentDirectory) {
  const fs::path previous = fs::current_path();
  fs::current_path("/");
  const bool ok = InitAppPaths();
  fs::current_path(previous);

  ASSERT_TRUE(ok);
  ASSERT_FALSE(g_strAppFolder.empty());
  EXPECT_EQ(g_strAppFolder.back(), '/');
  EXPECT_TRUE(fs::path(g_strAppFolder).is_absolute());
  EXPECT_EQ(fs::canonical(g_strAppFolder), fs::canonical(LUMETRA_BIN_DIR));
  EXPECT_EQ(g_strSettingsFile, g_strAppFolder + "setting.ini");
  EXPECT_TRUE(fs::is_regular_file(g_strSettingsFile));
}

}  // namespace
}  // namespace lumetra
