#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using platform::PendingFile;
using testing::Bytes;
using testing::listFolder;
using testing::makeCountingBytes;
using testing::readFileBytes;
using testing::ScratchFolder;
using testing::writeFileBytes;

using Names = std::vector<std::string>;

class PendingFileTest : public ::testing::TestWithParam<PendingFile::Naming> {
protected:
  std::unique_ptr<PendingFile> createWith(const Bytes& content) {
    auto file = PendingFile::create(target_, GetParam());
    EXPECT_NE(file, nullptr);
    if (file) {
      EXPECT_TRUE(file->write(content.data(), content.size()));
    }
    return file;
  }

  ScratchFolder folder_;
  std::string target_ = (folder_ / "clear").string();
};

TEST_P(PendingFileTest, GetsItsNameOnlyWhenPublished) {
  const Bytes content = makeCountingBytes(100'000);
  const auto file = createWith(content);
  EXPECT_FALSE(std::filesystem::exists(target_));
  ASSERT_TRUE(file->commit());
  ASSERT_EQ(file->publish(), PendingFile::PublishResult::Published);
  EXPECT_EQ(listFolder(folder_.path()), Names{"clear"});
  EXPECT_TRUE(readFileBytes(target_) == content);
}

TEST_P(PendingFileTest, LeavesNothingWhenDroppedUnpublished) {
  createWith(makeCountingBytes(1000))->commit();
  EXPECT_EQ(listFolder(folder_.path()), Names{});
}

TEST_P(PendingFileTest, NeverReplacesWhatAppearedAtTheName) {
  const auto file = createWith(makeCountingBytes(10));
  ASSERT_TRUE(file->commit());
  writeFileBytes(target_, Bytes{'o', 'l', 'd'});
  EXPECT_EQ(file->publish(), PendingFile::PublishResult::NameTaken);
  EXPECT_TRUE(readFileBytes(target_) == (Bytes{'o', 'l', 'd'}));
}

TEST_P(PendingFileTest, NeverWritesThroughALinkThatAppearedAtTheName) {
  const auto file = createWith(makeCountingBytes(10));
  ASSERT_TRUE(file->commit());
  std::error_code error;
  std::filesystem::create_symlink(folder_ / "elsewhere", target_, error);
  if (error) {
    GTEST_SKIP() << "symbolic links cannot be made here: " << error.message();
  }
  EXPECT_EQ(file->publish(), PendingFile::PublishResult::NameTaken);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "elsewhere"));
}

TEST_P(PendingFileTest, CannotBeCreatedWhereThereIsNoFolder) {
  EXPECT_EQ(PendingFile::create((folder_ / "missing" / "clear").string(), GetParam()), nullptr);
  EXPECT_EQ(PendingFile::create("", GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Platform, PendingFileTest,
                         ::testing::Values(PendingFile::Naming::UnnamedWherePossible,
                                           PendingFile::Naming::AlwaysNamed),
                         [](const auto& testInfo) {
                           return testInfo.param == PendingFile::Naming::AlwaysNamed ? "Named"
                                                                                     : "Unnamed";
                         });

#ifdef _WIN32
// Windows refuses to rename a file that another program holds open; the pending file is shared
// with no one, so nothing can hold it between its flush and its rename.
TEST(Platform, PendingFileIsSharedWithNoOneUntilPublished) {
  const ScratchFolder folder;
  const std::string target = (folder / "clear").string();
  const auto file = PendingFile::create(target);
  ASSERT_NE(file, nullptr);
  const Bytes content = makeCountingBytes(1000);
  ASSERT_TRUE(file->write(content.data(), content.size()));
  ASSERT_TRUE(file->commit());
  const Names names = listFolder(folder.path());
  ASSERT_EQ(names.size(), 1U);
  std::ifstream other(folder / names[0], std::ios::binary);
  EXPECT_FALSE(other.is_open());
  EXPECT_EQ(file->publish(), PendingFile::PublishResult::Published);
  EXPECT_TRUE(readFileBytes(target) == content);
}
#endif

TEST(Platform, PathExistsForEveryKindOfEntry) {
  const ScratchFolder folder;
  writeFileBytes(folder / "file", {});
  writeFileBytes(folder / "unreadable", {});
  std::filesystem::permissions(folder / "unreadable", std::filesystem::perms::none);
  std::filesystem::create_directory(folder / "folder");
  std::error_code noLinks;
  std::filesystem::create_symlink(folder / "nowhere", folder / "dangling", noLinks);
  for (const char* name : {"file", "unreadable", "folder", "dangling"}) {
    if (std::string(name) != "dangling" || !noLinks) {
      EXPECT_TRUE(platform::pathExists((folder / name).string())) << name;
    }
  }
  EXPECT_FALSE(platform::pathExists((folder / "missing").string()));
  EXPECT_FALSE(platform::pathExists(""));
}

TEST(Platform, ReadFullyTellsTheEndOfTheFileFromAReadError) {
  const ScratchFolder folder;
  writeFileBytes(folder / "file", makeCountingBytes(10));
  const auto file = platform::InputFile::open((folder / "file").string());
  Bytes buffer(64);
  std::size_t count = 0;
  EXPECT_TRUE(file->readFully(buffer.data(), buffer.size(), count));
  EXPECT_EQ(count, 10U);
  EXPECT_TRUE(file->readFully(buffer.data(), buffer.size(), count));
  EXPECT_EQ(count, 0U);
  const auto folderAsFile = platform::InputFile::open(folder.path().string());
#ifdef _WIN32
  EXPECT_EQ(folderAsFile, nullptr);  // Windows opens no folder as a file
#else
  ASSERT_NE(folderAsFile, nullptr);  // POSIX opens it, and then its reads fail
  EXPECT_FALSE(folderAsFile->readFully(buffer.data(), buffer.size(), count));
#endif
  EXPECT_EQ(platform::InputFile::open((folder / "missing").string()), nullptr);
}

}  // namespace
}  // namespace tarvik
