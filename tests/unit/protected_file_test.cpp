#include <gtest/gtest.h>

#include <string>

#include "app/validate_tool.h"
#include "protected/protected_file.h"
#include "support/known_answers.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::Bytes;
using testing::fromHex;
using testing::kAbcIv;
using testing::kAbcSha1;
using testing::kAbcTwoChunkCiphertext;
using testing::makeCountingBytes;
using testing::ScratchFolder;
using testing::toHex;
using testing::writeFileBytes;

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct WalkOutcome {
  WalkResult result;
  Bytes clear;
};

WalkOutcome walkFile(const Bytes& fileBytes) {
  const ScratchFolder folder;
  const auto path = (folder / "body").string();
  writeFileBytes(path, fileBytes);
  HashBytes hash;
  EXPECT_TRUE(ValidateTool::decodeHashText(kAbcSha1, hash));
  FileKeys keys(hash);
  const auto file = platform::InputFile::open(path);
  WalkOutcome outcome{WalkResult::Complete, {}};
  outcome.result = walkChunks(*file, keys, [&outcome](const unsigned char* data, std::size_t size) {
    outcome.clear.insert(outcome.clear.end(), data, data + size);
    return true;
  });
  return outcome;
}

class ChunkWalkTail : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ChunkWalkTail, DecryptsWholeChunksAndPassesTheTailAsStored) {
  const Bytes tail = makeCountingBytes(GetParam(), 0xC0);
  const WalkOutcome outcome = walkFile(concat(fromHex(kAbcTwoChunkCiphertext), tail));
  EXPECT_EQ(outcome.result, WalkResult::Complete);
  EXPECT_EQ(toHex(outcome.clear), toHex(concat(makeCountingBytes(128), tail)));
}

INSTANTIATE_TEST_SUITE_P(ProtectedFile, ChunkWalkTail, ::testing::Values(0U, 1U, 7U, 8U, 32U, 63U));

TEST(ProtectedFile, WalkOfAnEmptyBodyGivesNothing) {
  const WalkOutcome outcome = walkFile({});
  EXPECT_EQ(outcome.result, WalkResult::Complete);
  EXPECT_TRUE(outcome.clear.empty());
}

TEST(ProtectedFile, BodyShorterThanAChunkIsPassedOnUndecrypted) {
  const Bytes body = makeCountingBytes(63, 3);
  EXPECT_EQ(toHex(walkFile(body).clear), toHex(body));
}

TEST(ProtectedFile, WalkCarriesTheChainAcrossItsReadBuffer) {
  // Far more than one read's worth of the same two chunks over and over. From the second
  // repetition on, the first block is chained to the previous repetition's last ciphertext block
  // instead of the IV: P0' = P0 ^ IV ^ C_last. A chain restarted anywhere would break this.
  const Bytes ciphertext = fromHex(kAbcTwoChunkCiphertext);
  const Bytes iv = fromHex(kAbcIv);
  Bytes repeated = makeCountingBytes(128);
  for (std::size_t i = 0; i < 8; ++i) {
    repeated[i] = static_cast<unsigned char>(repeated[i] ^ iv[i] ^ ciphertext[120 + i]);
  }
  Bytes body;
  Bytes expected = makeCountingBytes(128);
  for (int i = 0; i < 2000; ++i) {
    body.insert(body.end(), ciphertext.begin(), ciphertext.end());
    if (i > 0) {
      expected.insert(expected.end(), repeated.begin(), repeated.end());
    }
  }
  const WalkOutcome outcome = walkFile(body);
  EXPECT_EQ(outcome.result, WalkResult::Complete);
  EXPECT_TRUE(outcome.clear == expected);
}

TEST(ProtectedFile, WalkStopsWhenTheConsumerRefuses) {
  const ScratchFolder folder;
  writeFileBytes(folder / "body", makeCountingBytes(200'000));
  HashBytes hash;
  ASSERT_TRUE(ValidateTool::decodeHashText(kAbcSha1, hash));
  FileKeys keys(hash);
  const auto file = platform::InputFile::open((folder / "body").string());
  int calls = 0;
  const WalkResult result = walkChunks(*file, keys, [&calls](const unsigned char*, std::size_t) {
    ++calls;
    return false;
  });
  EXPECT_EQ(result, WalkResult::Stopped);
  EXPECT_EQ(calls, 1);
}

struct HeaderCase {
  const char* name;
  std::string bytes;
  HeaderResult expected;
};

void PrintTo(const HeaderCase& c, std::ostream* out) { *out << c.name; }

class ProtectedHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ProtectedHeader, IsCheckedAgainstTheMagic) {
  const ScratchFolder folder;
  const std::string& bytes = GetParam().bytes;
  writeFileBytes(folder / "file", Bytes(bytes.begin(), bytes.end()));
  const auto file = platform::InputFile::open((folder / "file").string());
  EXPECT_EQ(readProtectedHeader(*file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ProtectedFile, ProtectedHeader,
    ::testing::Values(HeaderCase{"Magic", "*PA-DSS*", HeaderResult::Valid},
                      HeaderCase{"MagicAndBody", "*PA-DSS*body", HeaderResult::Valid},
                      HeaderCase{"Empty", "", HeaderResult::NotProtected},
                      HeaderCase{"SevenBytes", "*PA-DSS", HeaderResult::NotProtected},
                      HeaderCase{"LowerCase", "*pa-dss*", HeaderResult::NotProtected},
                      HeaderCase{"LastByteDiffers", "*PA-DSS+", HeaderResult::NotProtected}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

#ifndef _WIN32  // Windows opens no folder as a file, so there is no read to fail
TEST(ProtectedFile, HeaderReadErrorIsToldApartFromAShortFile) {
  const ScratchFolder folder;  // a folder opens for reading on this platform, but reads fail
  const auto file = platform::InputFile::open(folder.path().string());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readProtectedHeader(*file), HeaderResult::ReadError);
}
#endif

}  // namespace
}  // namespace tarvik
