#include "protected/file_keys.h"

#include <algorithm>
#include <cstring>

#include <openssl/crypto.h>

namespace tarvik {
namespace {

constexpr std::size_t kK1Offset = 0;
constexpr std::size_t kK2Offset = 8;
constexpr std::size_t kIvOffset = 12;  // overlaps K2: its first four bytes, before parity

/// Sets the lowest bit of every byte so that the byte holds an odd number of one bits.
void setOddParity(FileKeys::Block& key) {
  for (unsigned char& byte : key) {
    unsigned int ones = 0;
    for (unsigned int bits = byte >> 1U; bits != 0; bits >>= 1U) {
      ones += bits & 1U;
    }
    byte = static_cast<unsigned char>((byte & 0xFEU) | ((ones & 1U) ^ 1U));
  }
}

FileKeys::Block copyBlock(const HashBytes& hash, std::size_t offset) {
  FileKeys::Block block{};
  std::copy_n(hash.data.begin() + static_cast<std::ptrdiff_t>(offset), block.size(), block.begin());
  return block;
}

const EVP_CIPHER* twoKeyTripleDesCbc() {
  // Fetched once: an implicit fetch on every pass costs a provider look-up.
  static EVP_CIPHER* const cipher = EVP_CIPHER_fetch(nullptr, "DES-EDE-CBC", nullptr);
  return cipher;
}

}  // namespace

FileKeys::FileKeys(const HashBytes& hash)
    : k1_(copyBlock(hash, kK1Offset)),
      k2_(copyBlock(hash, kK2Offset)),
      iv_(copyBlock(hash, kIvOffset)),
      context_(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free) {
  setOddParity(k1_);
  setOddParity(k2_);
  std::array<unsigned char, 16> key{};
  std::copy(k1_.begin(), k1_.end(), key.begin());
  std::copy(k2_.begin(), k2_.end(), key.begin() + 8);
  // Two-key triple DES runs K1, K2, K1. It does no weak-key check, and DES ignores the parity
  // bits, so these keys give the same bytes as the classic unchecked key schedules.
  EVP_DecryptInit_ex(context_.get(), twoKeyTripleDesCbc(), nullptr, key.data(), iv_.data());
  EVP_CIPHER_CTX_set_padding(context_.get(), 0);
  OPENSSL_cleanse(key.data(), key.size());
}

FileKeys::~FileKeys() {
  OPENSSL_cleanse(k1_.data(), k1_.size());
  OPENSSL_cleanse(k2_.data(), k2_.size());
  OPENSSL_cleanse(iv_.data(), iv_.size());
}

void FileKeys::decryptChunks(const unsigned char* in, unsigned char* out, std::size_t size) {
  if (size == 0) {
    return;
  }
  // Taken first, so that `in` and `out` may be the same area.
  std::memcpy(iv_.data(), in + size - iv_.size(), iv_.size());
  // With padding off the context holds nothing back and keeps the chain across calls.
  int written = 0;
  EVP_DecryptUpdate(context_.get(), out, &written, in, static_cast<int>(size));
}

}  // namespace tarvik
