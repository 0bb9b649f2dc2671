#include <gtest/gtest.h>

#include <string>

#include "app/validate_tool.h"
#include "protected/hash_text.h"
#include "support/known_answers.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::kAbcSha1;
using testing::toHex;

// sha512sum of "abc", as published in FIPS 180.
constexpr const char* kAbcSha512 =
    "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
    "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f";
constexpr const char* kAbcSha512Upper =
    "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
    "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F";

std::string decodedHex(const HashBytes& bytes) {
  return toHex(
      testing::Bytes(bytes.data.begin(), bytes.data.begin() + static_cast<long>(bytes.size)));
}

struct DecodeCase {
  const char* text;
  const char* expectedHex;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.text; }

class DecodeAccepted : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeAccepted, GivesTheBytesHighDigitFirst) {
  HashBytes bytes;
  ASSERT_TRUE(ValidateTool::decodeHashText(GetParam().text, bytes));
  EXPECT_EQ(decodedHex(bytes), GetParam().expectedHex);
}

INSTANTIATE_TEST_SUITE_P(
    HashText, DecodeAccepted,
    ::testing::Values(DecodeCase{kAbcSha1, kAbcSha1},
                      DecodeCase{"A9993E364706816ABA3E25717850C26C9CD0D89D", kAbcSha1},
                      DecodeCase{"a9993E364706816aBA3e25717850c26C9cd0D89d", kAbcSha1},
                      DecodeCase{"0123456789abcdefABCDEF", "0123456789abcdefabcdef"},
                      DecodeCase{kAbcSha512Upper, kAbcSha512}, DecodeCase{"f0", "f0"},
                      DecodeCase{"", ""}));

class DecodeRefused : public ::testing::TestWithParam<std::string> {};

TEST_P(DecodeRefused, LeavesTheOutputUntouched) {
  HashBytes bytes;
  bytes.data.fill(0x5A);
  bytes.size = 7;
  EXPECT_FALSE(ValidateTool::decodeHashText(GetParam(), bytes));
  EXPECT_EQ(bytes.size, 7U);
  for (const unsigned char byte : bytes.data) {
    ASSERT_EQ(byte, 0x5A);
  }
}

std::string withLast(char last) { return std::string(kAbcSha1).substr(0, 39) + last; }

INSTANTIATE_TEST_SUITE_P(
    HashText, DecodeRefused,
    ::testing::Values(std::string("a9993e36 4706816aba3e25717850c26c9cd0d89"),  // space
                      std::string("-a9993e364706816aba3e25717850c26c9cd0d89"),  // sign
                      std::string("0x993e364706816aba3e25717850c26c9cd0d89d"),  // prefix
                      std::string("g9993e364706816aba3e25717850c26c9cd0d89d"),  // beyond f
                      withLast('G'), withLast('z'), withLast('\0'), withLast('\xC1'),
                      std::string("abc"),       // odd length
                      std::string(130, 'a')));  // more than a SHA-512 digest holds

}  // namespace
}  // namespace tarvik
