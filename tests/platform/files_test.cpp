#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>

#include "support/temp_folder.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  static void Put(const fs::path& path, const std::string& text) { test::WriteText(path, text); }
  static std::string Get(const fs::path& path) { return test::ReadText(path); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempFolder temp_{"files"};
  fs::path folder_ = temp_.path();
};

TEST_F(FilesTest, ReadWholeFileReturnsEveryByte) {
  std::string text("a\0b\r\n\xFF", 6);
  Put(folder_ / "f.bin", text);
  std::vector<std::uint8_t> bytes = ReadWholeFile(folder_ / "f.bin", 100);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);

  Put(folder_ / "empty", "");
  EXPECT_TRUE(ReadWholeFile(folder_ / "empty", 0).empty());
}

TEST_F(FilesTest, ReadWholeFileAcceptsExactlyTheLimitAndRefusesOneByteMore) {
  Put(folder_ / "ten", "0123456789");
  EXPECT_EQ(ReadWholeFile(folder_ / "ten", 10).size(), 10u);
  EXPECT_THROW(ReadWholeFile(folder_ / "ten", 9), FileError);
}

TEST_F(FilesTest, ReadWholeFileErrorNamesTheFile) {
  fs::path missing = folder_ / "missing.tz";
  try {
    ReadWholeFile(missing, 100);
    FAIL() << "no error for a missing file";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
  EXPECT_THROW(ReadWholeFile(folder_, 1 << 20), FileError);  // a folder is not a file
}

TEST_F(FilesTest, AtomicWriteCreatesAndReplacesContent) {
  fs::path target = folder_ / "doc.tz";
  WriteFileAtomically(target, "first version, rather long");
  EXPECT_EQ(Get(target), "first version, rather long");
  WriteFileAtomically(target, "second");
  EXPECT_EQ(Get(target), "second");
  const std::uint8_t bytes[] = {0, 1, 2, 0xFF};
  WriteFileAtomically(target, std::span<const std::uint8_t>(bytes));
  EXPECT_EQ(Get(target), std::string("\0\1\2\xFF", 4));
  WriteFileAtomically(target, std::string_view{});
  EXPECT_EQ(Get(target), "");
  EXPECT_EQ(Entries(), std::vector<std::string>{"doc.tz"});  // no temporary left behind
}

// The temporary file must fit the file-name limit too, or a document with a long
// (but legal) name could never be saved.
TEST_F(FilesTest, AtomicWriteAcceptsTheLongestLegalFileName) {
  const std::string name = std::string(252, 'a') + ".tz";  // 255 bytes, NAME_MAX on Linux
  Put(folder_ / name, "old");
  ASSERT_EQ(Get(folder_ / name), "old");
  EXPECT_NO_THROW(WriteFileAtomically(folder_ / name, "new"));
  EXPECT_EQ(Get(folder_ / name), "new");
}

TEST_F(FilesTest, AtomicWriteThroughALinkReplacesTheFileItPointsTo) {
  Put(folder_ / "real.tz", "old");
  fs::create_symlink("real.tz", folder_ / "link.tz");
  WriteFileAtomically(folder_ / "link.tz", std::string_view("new"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.tz"));
  EXPECT_EQ(Get(folder_ / "real.tz"), "new");
}

TEST_F(FilesTest, AtomicWriteKeepsThePermissionsOfTheReplacedFile) {
  fs::path target = folder_ / "settings.ini";
  Put(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  WriteFileAtomically(target, "new");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(FilesTest, AtomicWriteGivesANewFileTheUsualPermissions) {
  mode_t previous = ::umask(022);
  WriteFileAtomically(folder_ / "new.bmp", "BM");
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat((folder_ / "new.bmp").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(FilesTest, AtomicWriteIntoAMissingFolderOrBelowAFileThrows) {
  EXPECT_THROW(WriteFileAtomically(folder_ / "no-such-folder" / "doc.tz", "x"), FileError);
  EXPECT_FALSE(fs::exists(folder_ / "no-such-folder"));
  Put(folder_ / "plain", "keep me");
  EXPECT_THROW(WriteFileAtomically(folder_ / "plain" / "doc.tz", "x"), FileError);
  EXPECT_EQ(Get(folder_ / "plain"), "keep me");
}

TEST_F(FilesTest, AtomicWriteOntoAFolderThrowsAndLeavesNoTemporary) {
  fs::create_directory(folder_ / "doc.tz");
  Put(folder_ / "doc.tz" / "inside", "kept");
  EXPECT_THROW(WriteFileAtomically(folder_ / "doc.tz", "x"), FileError);
  EXPECT_EQ(Get(folder_ / "doc.tz" / "inside"), "kept");
  EXPECT_EQ(Entries(), std::vector<std::string>{"doc.tz"});
}

// A write that fails half-way (here: the file-size limit of the process, which
// holds for root too) must leave the previous file exactly as it was.
TEST_F(FilesTest, AtomicWriteThatFailsMidwayLeavesThePreviousFile) {
  fs::path target = folder_ / "doc.tz";
  Put(target, "previous content");

  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = saved;
  tight.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  bool threw = false;
  try {
    WriteFileAtomically(target, std::string(4096, 'n'));
  } catch (const FileError&) {
    threw = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(Get(target), "previous content");
  EXPECT_EQ(Entries(), std::vector<std::string>{"doc.tz"});
}

}  // namespace
}  // namespace lumetra
