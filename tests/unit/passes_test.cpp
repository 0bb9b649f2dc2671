// The validation pass and the decryption pass called one after the other, as a run calls them,
// with the protected file changed between them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/validate_tool.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::Bytes;
using testing::listFolder;
using testing::makeCountingBytes;
using testing::makeProtectedFile;
using testing::readFileBytes;
using testing::ScratchFolder;
using testing::writeFileBytes;

using Names = std::vector<std::string>;

class Passes : public ::testing::Test {
protected:
  bool validate() { return tool_.validateHash(input_, hash_); }

  std::string decrypt(bool& result) {
    ::testing::internal::CaptureStdout();
    result = tool_.decryptFile(input_, hash_);
    return ::testing::internal::GetCapturedStdout();
  }

  const ValidateTool tool_{};
  ScratchFolder folder_;
  const Bytes clear_ = makeCountingBytes(64 * 3 + 10);
  const std::string hash_ = makeProtectedFile(folder_.path(), "report.rcc", clear_, "sha1");
  const std::string input_ = (folder_ / "report.rcc").string();
  const std::string clearName_ = (folder_ / "report").string();
};

TEST_F(Passes, InputChangedAfterValidationIsNeverPublished) {
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(validate());
  ::testing::internal::GetCapturedStdout();
  Bytes changed = readFileBytes(input_);
  changed.back() ^= 0x01U;  // one bit of the clear tail
  writeFileBytes(input_, changed);

  bool result = true;
  EXPECT_EQ(decrypt(result), "Decrypting file " + input_ + "\nError: Hash mismatch\n");
  EXPECT_FALSE(result);
  EXPECT_EQ(listFolder(folder_.path()), Names{"report.rcc"});
}

TEST_F(Passes, InputTruncatedAfterValidationIsNeverPublished) {
  Bytes changed = readFileBytes(input_);
  changed.resize(8 + 64);
  writeFileBytes(input_, changed);
  bool result = true;
  EXPECT_EQ(decrypt(result), "Decrypting file " + input_ + "\nError: Hash mismatch\n");
  EXPECT_FALSE(result);
  EXPECT_EQ(listFolder(folder_.path()), Names{"report.rcc"});
}

TEST_F(Passes, ClearFileThatAppearedBeforeDecryptionIsNeverReplaced) {
  writeFileBytes(clearName_, {'n', 'e', 'w'});
  bool result = true;
  EXPECT_EQ(decrypt(result), "Output file " + clearName_ + " already exists\n");
  EXPECT_FALSE(result);
  EXPECT_TRUE(readFileBytes(clearName_) == (Bytes{'n', 'e', 'w'}));
}

TEST_F(Passes, DecryptionAloneWritesTheVerifiedClearFile) {
  bool result = false;
  EXPECT_EQ(decrypt(result),
            "Decrypting file " + input_ + "\nDecryption to " + clearName_ + " complete\n");
  EXPECT_TRUE(result);
  EXPECT_TRUE(readFileBytes(clearName_) == clear_);
}

TEST_F(Passes, DecryptionRefusesANameWithoutTheSuffix) {
  // The clear-file name of such a name would be the protected file itself.
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(tool_.decryptFile(clearName_, hash_));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Input File must be of type .rcc\n");
}

}  // namespace
}  // namespace tarvik
