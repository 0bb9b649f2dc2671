// Validate mode when the system fails it: full disk, read and write errors, a run killed while
// writing. Whatever happens, nothing is left under the clear-file name and the run fails.
// These tests steer the program from outside (a small tmpfs, faults injected by strace), so they
// run on Linux only and skip where the tools or the privileges are missing.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "harness.h"
#include "support/test_support.h"

namespace tarvik::e2e {
namespace {

using testing::Bytes;
using testing::listFolder;
using testing::makeCountingBytes;
using testing::makeProtectedFile;
using testing::readFileBytes;
using testing::ScratchFolder;

constexpr int kFailed = 2;
constexpr std::size_t kBodySize = 200'000;  // several reads and writes of the program's buffer

const Lines kDecryptionStarted = {"Validating hash", "Hash value is correct",
                                  "Decrypting file report.rcc"};

Lines concat(Lines lines, const Lines& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

const Lines kWriteFailed = concat(
    kDecryptionStarted,
    {"Error writing output file report", "Decryption failed!", "Validate processing failed"});

bool hasStrace() {
  int status = 0;
  testing::runCommand("strace -V >/dev/null 2>&1", status);
  return status == 0;
}

class Faults : public ::testing::Test {
protected:
  void SetUp() override { hash_ = makeProtectedFile(folder_.path(), "report.rcc", clear_, "sha1"); }

  // Runs the program under strace, which makes the chosen system call fail or kills the program.
  RunResult runInjected(const std::string& straceOptions) {
    // LeakSanitizer cannot work under ptrace; the other runs of a sanitized build check leaks.
    return runProgram({"report.rcc", hash_},
                      {folder_.path(),
                       "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -f -qq "
                       "-o /dev/null " +
                           straceOptions + " --"});
  }

  void expectNoClearFile() { EXPECT_EQ(listFolder(folder_.path()), Lines{"report.rcc"}); }

  ScratchFolder folder_;
  const Bytes clear_ = makeCountingBytes(kBodySize, 5);
  std::string hash_;
};

class InjectedFaults : public Faults {
protected:
  void SetUp() override {
    if (!hasStrace()) {
      GTEST_SKIP() << "strace is not installed";
    }
    Faults::SetUp();
  }
  std::string input() const { return (folder_ / "report.rcc").string(); }
};

// Each pass reads the 8-byte header, then the body until a read returns nothing: 200,000 bytes
// take four reads of the program's 64 KiB buffer and one more that finds the end, so each pass
// makes six reads of the protected file.
TEST_F(InjectedFaults, ReadErrorWhileValidating) {
  const RunResult result =
      runInjected("-P " + input() + " -e trace=read -e inject=read:error=EIO:when=3");
  EXPECT_EQ(result.lines, (Lines{"Validating hash", "Error reading input file report.rcc",
                                 "Hash validation failed", "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

TEST_F(InjectedFaults, ReadErrorWhileDecrypting) {
  const RunResult result =
      runInjected("-P " + input() + " -e trace=read -e inject=read:error=EIO:when=9");
  EXPECT_EQ(result.lines,
            concat(kDecryptionStarted, {"Error reading input file report.rcc", "Decryption failed!",
                                        "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

// Every console line is one write; the clear file's writes follow the lines printed before it.
std::string clearFileWrite(std::size_t number) {
  const std::size_t consoleWrites = 2 + kDecryptionStarted.size();
  return std::to_string(consoleWrites + number);
}

TEST_F(InjectedFaults, WriteError) {
  const RunResult result =
      runInjected("-e trace=write -e inject=write:error=EIO:when=" + clearFileWrite(2));
  EXPECT_EQ(result.lines, kWriteFailed);
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

TEST_F(InjectedFaults, SyncError) {
  const RunResult result = runInjected("-e trace=fsync -e inject=fsync:error=EIO");
  EXPECT_EQ(result.lines, kWriteFailed);
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

// The first sync is the clear file's, the second that of its folder once the name is given.
TEST_F(InjectedFaults, FolderSyncErrorTakesTheNameBackAgain) {
  const RunResult result = runInjected("-e trace=fsync -e inject=fsync:error=EIO:when=2");
  EXPECT_EQ(result.lines, kWriteFailed);
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

TEST_F(InjectedFaults, KilledWhileWritingLeavesNothingAndARerunSucceeds) {
  const RunResult killed =
      runInjected("-e trace=write -e inject=write:signal=KILL:when=" + clearFileWrite(2));
  EXPECT_EQ(killed.lines, kDecryptionStarted);
  EXPECT_EQ(killed.status, 128 + 9);
  expectNoClearFile();

  const RunResult rerun = runProgram({"report.rcc", hash_}, {folder_.path(), ""});
  EXPECT_EQ(rerun.status, 0);
  EXPECT_EQ(listFolder(folder_.path()), (Lines{"report", "report.rcc"}));
  EXPECT_TRUE(readFileBytes(folder_ / "report") == clear_);
}

TEST_F(Faults, ProtectedFileThatIsAFolder) {
  std::filesystem::create_directory(folder_ / "folder.rcc");
  const RunResult result = runProgram({"folder.rcc", hash_}, {folder_.path(), ""});
  // POSIX opens a folder, and then its reads fail; Windows does not open it at all.
  const Lines reason = programIsWindows()
                           ? Lines{"Cannot open input file folder.rcc"}
                           : Lines{"Validating hash", "Error reading input file folder.rcc"};
  EXPECT_EQ(result.lines, concat(reason, {"Hash validation failed", "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
}

TEST_F(Faults, ProtectedFileThatIsAPipeIsNotWaitedFor) {
  ASSERT_EQ(::mkfifo((folder_ / "pipe.rcc").c_str(), 0600), 0);
  const RunResult result = runProgram({"pipe.rcc", hash_}, {folder_.path(), "timeout 20"});
  EXPECT_EQ(result.lines, (Lines{"Cannot open input file pipe.rcc", "Hash validation failed",
                                 "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
}

// Runs as an unprivileged user, for what root's privileges would hide.
class AsAnotherUser : public Faults {
protected:
  static constexpr const char* kAsNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups";

  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "switching to another user needs root";
    }
    if (runProgram({}, {folder_.path(), kAsNobody}).status != 1) {
      GTEST_SKIP() << "the program cannot be run as nobody from where it was built";
    }
    Faults::SetUp();
  }

  RunResult runAsNobody() { return runProgram({"report.rcc", hash_}, {folder_.path(), kAsNobody}); }
};

TEST_F(AsAnotherUser, WritesIntoAFolderItCannotList) {
  std::filesystem::permissions(
      folder_.path(), std::filesystem::perms::owner_write | std::filesystem::perms::owner_exec |
                          std::filesystem::perms::group_write | std::filesystem::perms::group_exec |
                          std::filesystem::perms::others_write |
                          std::filesystem::perms::others_exec);
  const RunResult result = runAsNobody();
  EXPECT_EQ(result.lines,
            concat(kDecryptionStarted, {"Decryption to report complete",
                                        "Validate processing completed successfully"}));
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(readFileBytes(folder_ / "report") == clear_);
}

TEST_F(AsAnotherUser, RefusesAClearFileItCannotRead) {
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::all);
  testing::writeFileBytes(folder_ / "report", {'k', 'e', 'e', 'p'});
  std::filesystem::permissions(folder_ / "report", std::filesystem::perms::none);
  const RunResult result = runAsNobody();
  EXPECT_EQ(result.lines,
            (Lines{"Output file report already exists", "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
  EXPECT_TRUE(readFileBytes(folder_ / "report") == (Bytes{'k', 'e', 'e', 'p'}));
}

// A tmpfs just large enough for the protected file: the clear file cannot fit.
class FullDisk : public Faults {
protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    const std::string options = "size=" + std::to_string(kBodySize + std::size_t{64} * 1024);
    if (::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    mounted_ = true;
    Faults::SetUp();
  }
  void TearDown() override {
    if (mounted_) {
      ::umount(folder_.path().c_str());
    }
  }
  bool mounted_ = false;
};

TEST_F(FullDisk, LeavesNoPartialClearFile) {
  const RunResult result = runProgram({"report.rcc", hash_}, {folder_.path(), ""});
  EXPECT_EQ(result.lines, kWriteFailed);
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

TEST_F(FullDisk, ReadOnlyFolderCannotTakeTheClearFile) {
  ASSERT_EQ(::mount("tmpfs", folder_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
  const RunResult result = runProgram({"report.rcc", hash_}, {folder_.path(), ""});
  EXPECT_EQ(result.lines,
            (Lines{"Validating hash", "Hash value is correct", "Unable to open output file report",
                   "Decryption failed!", "Validate processing failed"}));
  EXPECT_EQ(result.status, kFailed);
  expectNoClearFile();
}

}  // namespace
}  // namespace tarvik::e2e
