#include "protected/protected_file.h"

#include <algorithm>
#include <vector>

#include <openssl/crypto.h>

namespace tarvik {
namespace {

// Many chunks per read: one read call and one cipher call per 64-byte chunk would cost more
// than the decryption itself on a fast disk. A whole number of chunks, so that only the last
// read of a file can end in a tail.
constexpr std::size_t kWalkBufferSize = 1024 * kChunkSize;

}  // namespace

HeaderResult readProtectedHeader(platform::InputFile& file) {
  std::array<unsigned char, kProtectedFileMagic.size()> header{};
  std::size_t count = 0;
  if (!file.readFully(header.data(), header.size(), count)) {
    return HeaderResult::ReadError;
  }
  return count == header.size() && header == kProtectedFileMagic ? HeaderResult::Valid
                                                                 : HeaderResult::NotProtected;
}

WalkResult walkChunks(platform::InputFile& file, FileKeys& keys,
                      const ClearBytesConsumer& consume) {
  std::vector<unsigned char> buffer(kWalkBufferSize);
  WalkResult result = WalkResult::Complete;
  for (;;) {
    std::size_t count = 0;
    if (!file.readFully(buffer.data(), buffer.size(), count)) {
      result = WalkResult::ReadError;
      break;
    }
    const std::size_t wholeChunks = count - count % kChunkSize;
    keys.decryptChunks(buffer.data(), buffer.data(), wholeChunks);
    if (count > 0 && !consume(buffer.data(), count)) {
      result = WalkResult::Stopped;
      break;
    }
    if (count < buffer.size()) {
      break;  // the end of the file: what this read returned past the whole chunks was the tail
    }
  }
  OPENSSL_cleanse(buffer.data(), buffer.size());
  return result;
}

}  // namespace tarvik
