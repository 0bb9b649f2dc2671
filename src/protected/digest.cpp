#include "protected/digest.h"

namespace tarvik {
namespace {

constexpr std::size_t kSha512TextLength = 128;

// Fetched once per run: an implicit fetch on every initialisation costs a provider look-up.
const EVP_MD* fetchDigest(std::size_t hashTextLength) {
  static EVP_MD* const sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
  static EVP_MD* const sha512 = EVP_MD_fetch(nullptr, "SHA512", nullptr);
  return hashTextLength == kSha512TextLength ? sha512 : sha1;
}

}  // namespace

ContentDigest::ContentDigest(std::size_t hashTextLength)
    : context_(EVP_MD_CTX_new(), &EVP_MD_CTX_free) {
  // A failed set-up shows as a digest that matches nothing: the comparison is the check.
  EVP_DigestInit_ex(context_.get(), fetchDigest(hashTextLength), nullptr);
}

void ContentDigest::update(const unsigned char* data, std::size_t size) {
  EVP_DigestUpdate(context_.get(), data, size);
}

std::string ContentDigest::finishHex() {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(context_.get(), digest, &size) != 1) {
    return {};
  }
  std::string text;
  text.reserve(std::size_t{2} * size);
  for (unsigned int i = 0; i < size; ++i) {
    text += kDigits[digest[i] >> 4U];
    text += kDigits[digest[i] & 0x0FU];
  }
  return text;
}

std::string toUpperAscii(std::string text) {
  for (char& letter : text) {
    if (letter >= 'a' && letter <= 'z') {
      letter = static_cast<char>(letter - 'a' + 'A');
    }
  }
  return text;
}

}  // namespace tarvik
