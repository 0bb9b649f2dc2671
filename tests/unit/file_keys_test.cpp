#include <gtest/gtest.h>

#include <bitset>
#include <string>

#include "app/validate_tool.h"
#include "protected/file_keys.h"
#include "support/known_answers.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::Bytes;
using testing::fromHex;
using testing::kAbcSha1;
using testing::kAbcTwoChunkCiphertext;
using testing::kWeakKeyCiphertext;
using testing::kWeakKeyHash;
using testing::makeCountingBytes;
using testing::toHex;

HashBytes hashFromHex(const std::string& hex) {
  HashBytes bytes;
  EXPECT_TRUE(ValidateTool::decodeHashText(hex, bytes));
  return bytes;
}

std::string hexOf(const FileKeys::Block& block) { return toHex(Bytes(block.begin(), block.end())); }

Bytes decrypt(FileKeys& keys, const Bytes& ciphertext) {
  Bytes clear(ciphertext.size());
  keys.decryptChunks(ciphertext.data(), clear.data(), ciphertext.size());
  return clear;
}

TEST(FileKeys, SetsOddParityOnTheKeysAndCopiesTheIvUnchanged) {
  // Bytes 12-15 (03 0c 30 ff) all hold an even number of one bits: K2 gets them with the lowest
  // bit flipped, the IV exactly as decoded.
  const FileKeys keys(
      hashFromHex("00fe7f8081c3e7ff"
                  "1122334403"
                  "0c30ff"
                  "55667788"));
  EXPECT_EQ(hexOf(keys.k1()), "01fe7f8080c2e6fe");
  EXPECT_EQ(hexOf(keys.k2()), "10233245020d31fe");
  EXPECT_EQ(hexOf(keys.iv()), "030c30ff55667788");
  for (const auto* key : {&keys.k1(), &keys.k2()}) {
    for (const unsigned char byte : *key) {
      EXPECT_EQ(std::bitset<8>(byte).count() % 2, 1U) << std::hex << int{byte};
    }
  }
}

TEST(FileKeys, UsesOnlyTheFirstTwentyBytesOfTheHash) {
  const std::string first40 = kAbcSha1;
  const FileKeys a(hashFromHex(first40 + std::string(88, '0')));
  const FileKeys b(hashFromHex(first40 + std::string(88, 'f')));
  EXPECT_EQ(hexOf(a.k1()), hexOf(b.k1()));
  EXPECT_EQ(hexOf(a.k2()), hexOf(b.k2()));
  EXPECT_EQ(hexOf(a.iv()), hexOf(b.iv()));
}

TEST(FileKeys, DecryptsATwoChunkChainAsTheOpensslToolEncryptedIt) {
  FileKeys keys(hashFromHex(kAbcSha1));
  const Bytes ciphertext = fromHex(kAbcTwoChunkCiphertext);
  EXPECT_EQ(toHex(decrypt(keys, ciphertext)), toHex(makeCountingBytes(128)));
  // The IV now holds the last ciphertext block.
  EXPECT_EQ(hexOf(keys.iv()), toHex(Bytes(ciphertext.end() - 8, ciphertext.end())));
}

TEST(FileKeys, CarriesTheChainFromChunkToChunk) {
  FileKeys keys(hashFromHex(kAbcSha1));
  const Bytes ciphertext = fromHex(kAbcTwoChunkCiphertext);
  const Bytes first = decrypt(keys, Bytes(ciphertext.begin(), ciphertext.begin() + 64));
  const Bytes second = decrypt(keys, Bytes(ciphertext.begin() + 64, ciphertext.end()));
  EXPECT_EQ(toHex(first), toHex(makeCountingBytes(64)));
  EXPECT_EQ(toHex(second), toHex(makeCountingBytes(64, 64)));
}

TEST(FileKeys, StartsEveryPassAfreshAtTheIvCutFromTheHash) {
  const Bytes ciphertext = fromHex(kAbcTwoChunkCiphertext);
  for (int pass = 0; pass < 2; ++pass) {
    FileKeys keys(hashFromHex(kAbcSha1));
    EXPECT_EQ(toHex(decrypt(keys, ciphertext)), toHex(makeCountingBytes(128)));
  }
}

TEST(FileKeys, DecryptsInPlace) {
  FileKeys keys(hashFromHex(kAbcSha1));
  Bytes data = fromHex(kAbcTwoChunkCiphertext);
  keys.decryptChunks(data.data(), data.data(), data.size());
  EXPECT_EQ(toHex(data), toHex(makeCountingBytes(128)));
}

TEST(FileKeys, AcceptsAWeakKeyAsK1) {
  FileKeys keys(hashFromHex(kWeakKeyHash));
  EXPECT_EQ(toHex(decrypt(keys, fromHex(kWeakKeyCiphertext))), toHex(makeCountingBytes(64)));
}

}  // namespace
}  // namespace tarvik
