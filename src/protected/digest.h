#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <openssl/evp.h>

namespace tarvik {

/// SHA-1 for a 40-character hash text, SHA-512 for a 128-character one.
class ContentDigest {
public:
  explicit ContentDigest(std::size_t hashTextLength);
  void update(const unsigned char* data, std::size_t size);
  /// The digest as upper-case hexadecimal text; the digest is finished afterwards.
  std::string finishHex();

private:
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context_;
};

/// `text` with the letters a to z in upper case.
std::string toUpperAscii(std::string text);

}  // namespace tarvik
