#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/validate_tool.h"
#include "cryptogram/cryptogram.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::Bytes;
using testing::fromHex;
using testing::runCommand;
using testing::ScratchFolder;
using testing::shellQuote;
using testing::writeFileBytes;

// The characters of the built-in key at positions 8, 10, ..., 22 ("#kZ!xV^b"), then eight zeros.
constexpr const char* kCryptogramKeyHex = "236b5a2178565e620000000000000000";

/// Base64 of the AES-128 encryption of `block` by the openssl command-line tool.
std::string encryptWithOpenssl(const Bytes& block) {
  const ScratchFolder folder;
  writeFileBytes(folder / "block", block);
  int status = 0;
  std::string output =
      runCommand("openssl enc -aes-128-ecb -nopad -K " + std::string(kCryptogramKeyHex) + " -in " +
                     shellQuote((folder / "block").string()) + " | base64 -w0",
                 status);
  EXPECT_EQ(status, 0);
  return output;
}

struct CryptogramCase {
  const char* name;
  std::string text;
  const char* asciiBlockHex;   // the block as typed, zero-filled
  const char* ebcdicBlockHex;  // the same characters in EBCDIC, written out by hand
};

void PrintTo(const CryptogramCase& c, std::ostream* out) { *out << c.name; }

class Cryptogram : public ::testing::TestWithParam<CryptogramCase> {};

TEST_P(Cryptogram, EqualsTheOpensslToolInBothModes) {
  const CryptogramCase& c = GetParam();
  EXPECT_EQ(buildCryptogram(c.text, TextEncoding::Ascii),
            encryptWithOpenssl(fromHex(c.asciiBlockHex)));
  EXPECT_EQ(buildCryptogram(c.text, TextEncoding::Ebcdic),
            encryptWithOpenssl(fromHex(c.ebcdicBlockHex)));
}

INSTANTIATE_TEST_SUITE_P(
    Cryptogram, Cryptogram,
    ::testing::Values(
        CryptogramCase{"Password", "password", "70617373776f72640000000000000000",
                       "9781a2a2a69699840000000000000000"},
        CryptogramCase{"OneByte", "A", "41000000000000000000000000000000",
                       "c1000000000000000000000000000000"},
        CryptogramCase{"SixteenBytes", "AZ az 09AZ az 09", "415a20617a203039415a20617a203039",
                       "c1e94081a940f0f9c1e94081a940f0f9"},
        CryptogramCase{"SeventeenBytes", "AZ az 09AZ az 09!", "415a20617a203039415a20617a203039",
                       "c1e94081a940f0f9c1e94081a940f0f9"},
        CryptogramCase{"UpperHalfBytes", "\xE9\xFF\x9F\x80", "e9ff9f80000000000000000000000000",
                       "cbfeff20000000000000000000000000"},
        CryptogramCase{"Controls", std::string("\x01\x0a\x7f", 3),
                       "010a7f00000000000000000000000000", "01250700000000000000000000000000"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(Cryptogram, OfAnEmptyTextIsEmpty) {
  EXPECT_EQ(buildCryptogram("", TextEncoding::Ascii), std::string());
  EXPECT_EQ(buildCryptogram("", TextEncoding::Ebcdic), std::string());
}

TEST(Cryptogram, IsPickedFromTheBuiltInKey) {
  const auto key = pickCryptogramKey();
  EXPECT_EQ(testing::toHex(Bytes(key.begin(), key.end())), kCryptogramKeyHex);
}

TEST(Cryptogram, OptionTooShortPrintsTheUsageText) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(ValidateTool().createCryptogram("-", "password"), kExitUsage);
  const std::string output = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(output.rfind("TarvikValidate - version 2.0.1\n", 0), 0U);
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 17);
}

}  // namespace
}  // namespace tarvik
