// The banner, the usage text and cryptogram mode end to end.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "support/test_support.h"

namespace tarvik::e2e {
namespace {

class UsageText : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageText, FollowsTheBannerWhenTheArgumentCountIsWrong) {
  const RunResult result = runProgram(GetParam());
  EXPECT_TRUE(isBanner(result.banner));
  EXPECT_EQ(result.lines, usageLines());
  EXPECT_EQ(result.status, 1);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, UsageText,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"report.rcc"},
                                           std::vector<std::string>{"-a"},
                                           std::vector<std::string>{"-a", "password", "extra"}));

struct CryptogramCase {
  const char* option;
  std::string text;
  const char* cryptogram;  // from the openssl command-line tool, as in the unit tests
};

void PrintTo(const CryptogramCase& c, std::ostream* out) { *out << c.option << " " << c.text; }

class CryptogramMode : public ::testing::TestWithParam<CryptogramCase> {};

TEST_P(CryptogramMode, PrintsOneLineAfterTheBanner) {
  const RunResult result = runProgram({GetParam().option, GetParam().text});
  EXPECT_TRUE(isBanner(result.banner));
  EXPECT_EQ(result.lines, Lines{GetParam().cryptogram});
  EXPECT_EQ(result.status, 0);
}

constexpr const char* kPasswordAscii = "U/lsH4q3r8aKRsg6e7ARwA==";
constexpr const char* kPasswordEbcdic = "ZsjSmy1AcFkpV44x8WeNRA==";

INSTANTIATE_TEST_SUITE_P(CommandLine, CryptogramMode,
                         ::testing::Values(CryptogramCase{"-a", "password", kPasswordAscii},
                                           CryptogramCase{"-ascii", "password", kPasswordAscii},
                                           CryptogramCase{"-e", "password", kPasswordEbcdic},
                                           CryptogramCase{"-ebcdic", "password", kPasswordEbcdic},
                                           CryptogramCase{"-a", "", ""},
                                           CryptogramCase{"-e", "", ""},
                                           CryptogramCase{"-ascii", "", ""},
                                           CryptogramCase{"-ebcdic", "", ""}));

TEST(CommandLine, UsageExamplesAreWhatTheProgramPrintsForPassword) {
  EXPECT_EQ(usageLines()[10],
            "produces base64 encoded cryptogram: " + runProgram({"-a", "password"}).lines.at(0));
  EXPECT_EQ(usageLines()[16],
            "produces base64 encoded cryptogram: " + runProgram({"-e", "password"}).lines.at(0));
}

TEST(CommandLine, OnlyTheFirstSixteenBytesCount) {
  const Lines first = runProgram({"-e", "0123456789abcdef"}).lines;
  EXPECT_EQ(runProgram({"-e", "0123456789abcdefXYZ"}).lines, first);
  EXPECT_EQ(runProgram({"-ebcdic", "0123456789abcdef!"}).lines, first);
  EXPECT_NE(runProgram({"-a", "0123456789abcdef"}).lines, first);
  ASSERT_EQ(first.size(), 1U);
  EXPECT_EQ(first[0].size(), 24U);
}

TEST(CommandLine, OutputThatCannotBeWrittenFailsTheRun) {
  struct Case {
    const char* arguments;
    int status;
  };
  for (const Case c : {Case{"-a password", 2}, Case{"", 1}, Case{"x.rcc short", 2}}) {
    int status = 0;
    const std::string printed = testing::runCommand(
        programCommand() + " " + c.arguments + " >/dev/full 2>/dev/null; echo $?", status);
    EXPECT_EQ(printed, std::to_string(c.status) + "\n") << c.arguments;
  }
}

TEST(CommandLine, BannerShowsLocalTimeUnderAHalfHourZone) {
  // India's offset, +05:30, written as a POSIX rule so that no zone database is needed.
  const std::string zone = "TZ=IST-5:30";
  int status = 0;
  const std::string before =
      testing::runCommand(zone + " date '+%Y-%m-%d %H:%M:%S'", status).substr(0, 19);
  const RunResult result = runProgram({}, {".", zone});
  const std::string after =
      testing::runCommand(zone + " date '+%Y-%m-%d %H:%M:%S'", status).substr(0, 19);
  ASSERT_TRUE(isBanner(result.banner));
  const std::string shown = result.banner[0].substr(16);
  EXPECT_GE(shown, before);
  EXPECT_LE(shown, after);
  const std::string utc = testing::runCommand("TZ=UTC0 date '+%M'", status).substr(0, 2);
  EXPECT_NE(shown.substr(14, 2), utc) << "the banner shows UTC, not local time";
}

}  // namespace
}  // namespace tarvik::e2e
