#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include <openssl/evp.h>

#include "protected/hash_text.h"

namespace tarvik {

/// Bytes of a protected file's body that are read, decrypted and written as one unit.
constexpr std::size_t kChunkSize = 64;

/// Key material for one pass over one protected file: two-key triple DES in CBC mode, cut from
/// the first 20 bytes of the hash. Each pass builds its own, so every pass starts its chain at
/// the `IV` cut from the hash. Wiped when it goes.
class FileKeys {
public:
  using Block = std::array<unsigned char, 8>;

  /// `hash` must hold at least 20 bytes. Every key is accepted: weak, semi-weak and wrong-parity
  /// keys included.
  explicit FileKeys(const HashBytes& hash);
  ~FileKeys();
  FileKeys(const FileKeys&) = delete;
  FileKeys& operator=(const FileKeys&) = delete;

  const Block& k1() const { return k1_; }  ///< hash bytes 0-7, set to odd parity
  const Block& k2() const { return k2_; }  ///< hash bytes 8-15, set to odd parity
  const Block& iv() const { return iv_; }  ///< the running chaining value

  /// Decrypts `size` bytes (a whole number of chunks, at most a few megabytes) from `in` to `out`,
  /// which may be the same area, and carries the chain
  /// on, so that one call over two chunks and two calls over one chunk each give the same bytes.
  void decryptChunks(const unsigned char* in, unsigned char* out, std::size_t size);

private:
  Block k1_{};
  Block k2_{};
  Block iv_{};
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context_;
};

}  // namespace tarvik
