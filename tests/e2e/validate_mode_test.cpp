// Validate mode end to end: exact lines after the banner, exit status and the files left behind.
#include <gtest/gtest.h>

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
using testing::toHex;
using testing::writeFileBytes;

constexpr int kFailed = 2;
const std::string kSha1OfNothing = "da39a3ee5e6b4b0d3255bfef95601890afd80709";

Lines failedWith(Lines lines) {
  lines.push_back("Validate processing failed");
  return lines;
}

Lines hashValidationFailedWith(Lines lines) {
  lines.push_back("Hash validation failed");
  return failedWith(lines);
}

std::string toUpper(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

class ValidateMode : public ::testing::Test {
protected:
  RunResult run(const std::vector<std::string>& arguments) {
    RunResult result = runProgram(arguments, {folder_.path(), ""});
    EXPECT_TRUE(isBanner(result.banner));
    return result;
  }

  Lines successLines(const std::string& input, const std::string& clear) {
    return {"Validating hash", "Hash value is correct", "Decrypting file " + input,
            "Decryption to " + clear + " complete", "Validate processing completed successfully"};
  }

  ScratchFolder folder_;
};

// --- success -------------------------------------------------------------------------------------

struct SuccessCase {
  std::size_t size;
  const char* algorithm;
  bool upperCaseHash;
};

void PrintTo(const SuccessCase& c, std::ostream* out) { *out << c.size << " " << c.algorithm; }

class ValidateSuccess : public ValidateMode, public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(ValidateSuccess, WritesTheClearFileBesideTheProtectedFile) {
  const SuccessCase& c = GetParam();
  const Bytes clear = makeCountingBytes(c.size, 17);
  std::string hash = makeProtectedFile(folder_.path(), "report.rcc", clear, c.algorithm);
  const Bytes protectedBytes = readFileBytes(folder_ / "report.rcc");
  if (c.upperCaseHash) {
    hash = toUpper(hash);
  }

  const RunResult result = run({"report.rcc", hash});

  EXPECT_EQ(result.lines, successLines("report.rcc", "report"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(listFolder(folder_.path()), (Lines{"report", "report.rcc"}));
  EXPECT_EQ(toHex(readFileBytes(folder_ / "report")), toHex(clear));
  EXPECT_TRUE(readFileBytes(folder_ / "report.rcc") == protectedBytes);
}

INSTANTIATE_TEST_SUITE_P(
    BodySizes, ValidateSuccess,
    ::testing::Values(SuccessCase{0, "sha1", false}, SuccessCase{1, "sha1", true},
                      SuccessCase{63, "sha512", false}, SuccessCase{64, "sha1", false},
                      SuccessCase{128, "sha512", true}, SuccessCase{129, "sha1", false},
                      SuccessCase{191, "sha512", false}, SuccessCase{200'000, "sha1", true},
                      SuccessCase{200'003, "sha512", false}),
    [](const auto& testInfo) {
      return std::to_string(testInfo.param.size) + "_" + testInfo.param.algorithm +
             (testInfo.param.upperCaseHash ? "_upper" : "_lower");
    });

TEST_F(ValidateMode, BundledSamplesValidate) {
  const std::filesystem::path samples = TARVIK_SAMPLES;
  for (const char* algorithm : {"sha1", "sha512"}) {
    const ScratchFolder folder;
    std::filesystem::copy_file(samples / algorithm / "report.rcc", folder / "report.rcc");
    const Bytes hashLine = readFileBytes(samples / algorithm / "hash.txt");
    const std::string hash(hashLine.begin(), hashLine.end() - 1);  // without its newline
    const RunResult result = runProgram({"report.rcc", hash}, {folder.path(), ""});
    EXPECT_EQ(result.lines, successLines("report.rcc", "report")) << algorithm;
    EXPECT_TRUE(readFileBytes(folder / "report") == readFileBytes(samples / "report.txt"));
  }
}

TEST_F(ValidateMode, AcceptsAPathIntoAnotherFolder) {
  std::filesystem::create_directory(folder_ / "data.rcc");
  const Bytes clear = makeCountingBytes(100);
  const std::string hash = makeProtectedFile(folder_ / "data.rcc", "report.rcc", clear, "sha1");
  const RunResult result = run({"data.rcc/report.rcc", hash});
  EXPECT_EQ(result.lines, successLines("data.rcc/report.rcc", "data.rcc/report"));
  EXPECT_TRUE(readFileBytes(folder_ / "data.rcc" / "report") == clear);
}

TEST_F(ValidateMode, ShortBodyValidatesUnderEitherDigest) {
  const Bytes clear = makeCountingBytes(40);
  const std::string sha512 = makeProtectedFile(folder_.path(), "a.rcc", clear, "sha512");
  const std::string sha1 = makeProtectedFile(folder_.path(), "b.rcc", clear, "sha1");
  EXPECT_EQ(run({"a.rcc", sha1}).lines, successLines("a.rcc", "a"));
  EXPECT_EQ(run({"b.rcc", sha512}).lines, successLines("b.rcc", "b"));
}

// --- refusals before any file is read ------------------------------------------------------------

class RefusedName : public ValidateMode, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedName, MustEndInRcc) {
  const RunResult result = run({GetParam(), kSha1OfNothing});
  EXPECT_EQ(result.lines, failedWith({"Input File must be of type .rcc"}));
  EXPECT_EQ(result.status, kFailed);
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedName,
                         ::testing::Values("report.RCC", "report.Rcc", "report.rcc.bak",
                                           "report.rc", "rcc", "-A", "-ASCII", "--a", "-a ", "-E",
                                           ""));

struct ExistingEntry {
  const char* name;
  void (*make)(const std::filesystem::path& at);
};

void PrintTo(const ExistingEntry& entry, std::ostream* out) { *out << entry.name; }

class ExistingClearFile : public ValidateMode,
                          public ::testing::WithParamInterface<ExistingEntry> {};

TEST_P(ExistingClearFile, IsNeverTouched) {
  if (programIsWindows() && std::string(GetParam().name) == "DanglingLink") {
    // Windows sees its own dangling links (reparse points), but an emulator on a POSIX file
    // system shows a Windows program no trace of a dangling POSIX link.
    GTEST_SKIP() << "a dangling POSIX link is invisible to a Windows program";
  }
  GetParam().make(folder_ / "report");
  const auto before = std::filesystem::symlink_status(folder_ / "report").type();
  for (const std::string& hash : {kSha1OfNothing, std::string("short")}) {
    // The protected file is missing too: nothing but the refusal is reported.
    const RunResult result = run({"report.rcc", hash});
    EXPECT_EQ(result.lines, failedWith({"Output file report already exists"}));
    EXPECT_EQ(result.status, kFailed);
  }
  EXPECT_EQ(std::filesystem::symlink_status(folder_ / "report").type(), before);
  EXPECT_EQ(listFolder(folder_.path()), Lines{"report"});
  if (before == std::filesystem::file_type::regular) {
    EXPECT_TRUE(readFileBytes(folder_ / "report") == (Bytes{'k', 'e', 'e', 'p'}));
  }
}

void makeFile(const std::filesystem::path& at) { writeFileBytes(at, {'k', 'e', 'e', 'p'}); }
void makeUnreadable(const std::filesystem::path& at) {
  makeFile(at);
  std::filesystem::permissions(at, std::filesystem::perms::none);
}
void makeFolder(const std::filesystem::path& at) { std::filesystem::create_directory(at); }
void makeLink(const std::filesystem::path& at) {
  std::filesystem::create_symlink("/etc/hostname", at);
}
void makeDanglingLink(const std::filesystem::path& at) {
  std::filesystem::create_symlink(at.parent_path() / "nowhere", at);
}

INSTANTIATE_TEST_SUITE_P(Entries, ExistingClearFile,
                         ::testing::Values(ExistingEntry{"File", makeFile},
                                           ExistingEntry{"Unreadable", makeUnreadable},
                                           ExistingEntry{"Folder", makeFolder},
                                           ExistingEntry{"Link", makeLink},
                                           ExistingEntry{"DanglingLink", makeDanglingLink}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(ValidateMode, HashOfTheWrongLengthIsRefusedBeforeTheFileIsOpened) {
  for (const std::size_t length : {39U, 41U, 127U, 129U, 0U}) {
    const RunResult result = run({"report.rcc", std::string(length, 'a')});
    EXPECT_EQ(result.lines,
              failedWith({"Invalid hash value.  Hash value must be 40 or 128 characters"}))
        << length;
    EXPECT_EQ(result.status, kFailed);
  }
}

TEST_F(ValidateMode, HashThatIsNotHexadecimalIsRefusedBeforeTheFileIsOpened) {
  for (const std::string& hash : {std::string(39, 'a') + "g", "0x" + std::string(126, 'a')}) {
    const RunResult result = run({"missing.rcc", hash});
    EXPECT_EQ(result.lines, hashValidationFailedWith({"Invalid hash value"}));
    EXPECT_EQ(result.status, kFailed);
  }
}

// --- validation failures -------------------------------------------------------------------------

TEST_F(ValidateMode, MissingProtectedFile) {
  const RunResult result = run({"report.rcc", kSha1OfNothing});
  EXPECT_EQ(result.lines, hashValidationFailedWith({"Cannot open input file report.rcc"}));
  EXPECT_EQ(result.status, kFailed);
}

TEST_F(ValidateMode, FileWithoutTheMagic) {
  for (const std::string& content : {std::string("*PA-DSS"), std::string("*pa-dss*body"),
                                     std::string(), std::string("*PA-DSS-")}) {
    writeFileBytes(folder_ / "report.rcc", Bytes(content.begin(), content.end()));
    const RunResult result = run({"report.rcc", kSha1OfNothing});
    EXPECT_EQ(result.lines, hashValidationFailedWith(
                                {"Validating hash", "Invalid file: not encrypted by Tarvik"}))
        << content;
    EXPECT_EQ(result.status, kFailed);
    EXPECT_EQ(listFolder(folder_.path()), Lines{"report.rcc"});
  }
}

TEST_F(ValidateMode, HashThatDoesNotMatch) {
  const Bytes clear = makeCountingBytes(300);
  const std::string sha1 = makeProtectedFile(folder_.path(), "report.rcc", clear, "sha1");
  std::string lastDigit = sha1;
  lastDigit[39] = lastDigit[39] == '0' ? '1' : '0';
  // The SHA-512 of the right content cuts other keys than the SHA-1 the file was made with.
  const ScratchFolder other;
  const std::string sha512 = makeProtectedFile(other.path(), "x.rcc", clear, "sha512");
  for (const std::string& hash : {lastDigit, sha512}) {
    const RunResult result = run({"report.rcc", hash});
    EXPECT_EQ(result.lines, hashValidationFailedWith({"Validating hash", "Error: Hash mismatch"}));
    EXPECT_EQ(result.status, kFailed);
    EXPECT_EQ(listFolder(folder_.path()), Lines{"report.rcc"});
  }
}

TEST_F(ValidateMode, EmptyClearFileNameCannotBeWritten) {
  const std::string hash = makeProtectedFile(folder_.path(), ".rcc", makeCountingBytes(10), "sha1");
  const RunResult result = run({".rcc", hash});
  EXPECT_EQ(result.lines, failedWith({"Validating hash", "Hash value is correct",
                                      "Unable to open output file ", "Decryption failed!"}));
  EXPECT_EQ(result.status, kFailed);
  EXPECT_EQ(listFolder(folder_.path()), Lines{".rcc"});
}

}  // namespace
}  // namespace tarvik::e2e
