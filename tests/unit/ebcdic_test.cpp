// Checks the table through properties that hold for the real translation, so that a slip in
// transcribing any of its 256 entries shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "cryptogram/ebcdic.h"

namespace tarvik {
namespace {

unsigned at(unsigned index) { return kAsciiToEbcdic[index]; }

TEST(AsciiToEbcdic, FixesExactlyNineteenBytes) {
  std::set<unsigned> fixed;
  for (unsigned i = 0; i < 256; ++i) {
    if (at(i) == i) {
      fixed.insert(i);
    }
  }
  std::set<unsigned> expected = {0x00, 0x01, 0x02, 0x03, 0x18, 0x19};
  for (unsigned i = 0x0B; i <= 0x13; ++i) {
    expected.insert(i);
  }
  for (unsigned i = 0x1C; i <= 0x1F; ++i) {
    expected.insert(i);
  }
  EXPECT_EQ(fixed, expected);
}

TEST(AsciiToEbcdic, TranslatesLettersDigitsAndSpace) {
  struct Run {
    unsigned from, to, first;
  };
  for (const Run run :
       {Run{'A', 'I', 0xC1}, Run{'J', 'R', 0xD1}, Run{'S', 'Z', 0xE2}, Run{'a', 'i', 0x81},
        Run{'j', 'r', 0x91}, Run{'s', 'z', 0xA2}, Run{'0', '9', 0xF0}, Run{' ', ' ', 0x40}}) {
    for (unsigned c = run.from; c <= run.to; ++c) {
      EXPECT_EQ(at(c), run.first + (c - run.from)) << "input " << c;
    }
  }
}

TEST(AsciiToEbcdic, TranslatesTellingPunctuationAndControls) {
  const std::pair<unsigned, unsigned> entries[] = {
      {0x09, 0x05}, {0x0A, 0x25}, {0x0D, 0x0D}, {0x1B, 0x27}, {0x21, 0x5A},
      {0x23, 0x7B}, {0x24, 0x5B}, {0x40, 0x7C}, {0x5B, 0xAD}, {0x5C, 0xE0},
      {0x5D, 0xBD}, {0x5E, 0x5F}, {0x5F, 0x6D}, {0x60, 0x79}, {0x7B, 0xC0},
      {0x7C, 0x6A}, {0x7D, 0xD0}, {0x7E, 0xA1}, {0x7F, 0x07}, {0x00, 0x00},
      {0xFF, 0xFE}, {0x9F, 0xFF}, {0xE9, 0xCB}, {0x85, 0x25}, {0xBB, 0x6A}};
  for (const auto& [input, entry] : entries) {
    EXPECT_EQ(at(input), entry) << "input " << input;
  }
}

TEST(AsciiToEbcdic, KeepsPrintablesApartAndControlsLow) {
  std::set<unsigned> printable;
  for (unsigned i = 0x20; i <= 0x7E; ++i) {
    EXPECT_GE(at(i), 0x40U) << i;
    printable.insert(at(i));
  }
  EXPECT_EQ(printable.size(), 95U);
  for (unsigned i = 0; i < 0x9F; ++i) {
    if (i < 0x20 || i >= 0x7F) {
      EXPECT_LE(at(i), 0x3FU) << i;
    }
  }
}

TEST(AsciiToEbcdic, ProducesAllButTwoValues) {
  const std::set<unsigned char> values(kAsciiToEbcdic.begin(), kAsciiToEbcdic.end());
  EXPECT_EQ(values.size(), 254U);
  EXPECT_EQ(values.count(0x15), 0U);
  EXPECT_EQ(values.count(0x4F), 0U);
}

TEST(AsciiToEbcdic, UpperRowsIncreaseStrictly) {
  EXPECT_EQ(std::adjacent_find(kAsciiToEbcdic.begin() + 0xA0, kAsciiToEbcdic.end(),
                               std::greater_equal<>()),
            kAsciiToEbcdic.end());
  EXPECT_EQ(at(0xA0), 0x41U);
  EXPECT_EQ(at(0xFF), 0xFEU);
}

TEST(AsciiToEbcdic, LooksUpSignedCharsInTheUpperHalf) {
  const char high = static_cast<char>(0xE9);
  EXPECT_EQ(toEbcdic(high), 0xCB);
  EXPECT_EQ(toEbcdic(static_cast<char>(0x80)), 0x20);
}

}  // namespace
}  // namespace tarvik
