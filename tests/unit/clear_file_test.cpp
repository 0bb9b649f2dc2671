#include <gtest/gtest.h>

#include <string>

#include "protected/clear_file.h"

namespace tarvik {
namespace {

struct NameCase {
  const char* input;
  const char* clear;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.input; }

class ClearFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ClearFileName, DropsTheLastSuffix) {
  EXPECT_TRUE(hasProtectedSuffix(GetParam().input));
  EXPECT_EQ(clearFileName(GetParam().input), GetParam().clear);
}

INSTANTIATE_TEST_SUITE_P(Naming, ClearFileName,
                         ::testing::Values(NameCase{"report.rcc", "report"},
                                           NameCase{"archive.rcc.rcc", "archive.rcc"},
                                           NameCase{"data.rcc/report.rcc", "data.rcc/report"},
                                           NameCase{"/abs/path/x y.rcc", "/abs/path/x y"},
                                           NameCase{"C:\\data\\report.rcc", "C:\\data\\report"},
                                           NameCase{".rcc", ""}));

class RefusedName : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedName, DoesNotEndInTheSuffix) { EXPECT_FALSE(hasProtectedSuffix(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Naming, RefusedName,
                         ::testing::Values("report.RCC", "report.Rcc", "report.rcc.bak",
                                           "report.rc", "rcc", "", "report.rcc "));

}  // namespace
}  // namespace tarvik
