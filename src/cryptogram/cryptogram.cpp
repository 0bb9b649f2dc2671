#include "cryptogram/cryptogram.h"

#include <algorithm>
#include <memory>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include "app/console.h"
#include "app/validate_tool.h"
#include "cryptogram/ebcdic.h"

namespace tarvik {
namespace {

constexpr std::size_t kBlockSize = 16;
using Block = std::array<unsigned char, kBlockSize>;

Block makePlaintextBlock(const std::string& text, TextEncoding encoding) {
  Block block{};
  const std::size_t length = std::min(text.size(), kBlockSize);
  for (std::size_t i = 0; i < length; ++i) {
    block[i] =
        encoding == TextEncoding::Ebcdic ? toEbcdic(text[i]) : static_cast<unsigned char>(text[i]);
  }
  return block;
}

/// One AES-128 block encryption, no chaining; false when the library refuses.
bool encryptBlock(const Block& key, const Block& plaintext, Block& ciphertext) {
  const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
      EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  int written = 0;
  return context &&
         EVP_EncryptInit_ex(context.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr) == 1 &&
         EVP_CIPHER_CTX_set_padding(context.get(), 0) == 1 &&
         EVP_EncryptUpdate(context.get(), ciphertext.data(), &written, plaintext.data(),
                           static_cast<int>(plaintext.size())) == 1 &&
         written == static_cast<int>(ciphertext.size());
}

std::string encodeBase64(const Block& data) {
  char text[4 * kBlockSize / 3 + 4];
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text), data.data(),
                                     static_cast<int>(data.size()));
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace

const char* const kBuiltInKey = "Qw7Rt3uP#Lk9Zs!Ex2Vn^Hb5Mj&Tc8Yg";

std::array<unsigned char, 16> pickCryptogramKey() {
  std::array<unsigned char, 16> key{};
  for (std::size_t position = 8, i = 0; position < 24; position += 2, ++i) {
    key[i] = static_cast<unsigned char>(kBuiltInKey[position]);
  }
  return key;
}

std::optional<std::string> buildCryptogram(const std::string& text, TextEncoding encoding) {
  if (text.empty()) {
    return std::string();
  }
  ERR_clear_error();
  Block key = pickCryptogramKey();
  Block plaintext = makePlaintextBlock(text, encoding);
  Block ciphertext{};
  const bool encrypted = encryptBlock(key, plaintext, ciphertext);
  OPENSSL_cleanse(key.data(), key.size());
  OPENSSL_cleanse(plaintext.data(), plaintext.size());
  if (!encrypted) {
    return std::nullopt;
  }
  return encodeBase64(ciphertext);
}

int ValidateTool::createCryptogram(const std::string& optionText, const std::string& text) const {
  if (optionText.size() < 2) {
    printUsage();
    return kExitUsage;
  }
  const TextEncoding encoding = optionText[1] == 'e' ? TextEncoding::Ebcdic : TextEncoding::Ascii;
  const auto cryptogram = buildCryptogram(text, encoding);
  if (!cryptogram) {
    printLine("Error: cryptogram could not be created");
    return kExitFailure;
  }
  printLine(*cryptogram);
  return kExitSuccess;
}

}  // namespace tarvik
