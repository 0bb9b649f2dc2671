// A protected file and a hash text, split from the input, through the validation pass and the
// decryption pass in a scratch folder: no crash, no leak, a clear file only when the digest
// matched, and then exactly the clear content.
//
// Input: one control byte, then 20 or 64 hash bytes, then the rest. Bit 0 of the control byte
// picks SHA-512 over SHA-1. With bit 1 clear, the rest is the protected file as it stands and the
// hash bytes are the hash. With bit 1 set, the rest is clear content, and the harness makes the
// matching protected file and hash itself, so that the passes are driven all the way through.
#include <openssl/evp.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/validate_tool.h"
#include "fuzz_scratch.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using tarvik::testing::Bytes;
using tarvik::testing::toHex;

Bytes digestOf(const Bytes& content, bool sha512) {
  Bytes digest(EVP_MAX_MD_SIZE);
  unsigned int size = 0;
  EVP_Digest(content.data(), content.size(), digest.data(), &size,
             sha512 ? EVP_sha512() : EVP_sha1(), nullptr);
  digest.resize(size);
  return digest;
}

// Encrypts the whole chunks under keys cut from `hash`, as a producer of protected files does.
Bytes protect(const Bytes& content, const Bytes& hash) {
  Bytes file = {'*', 'P', 'A', '-', 'D', 'S', 'S', '*'};
  const std::size_t whole = content.size() / 64 * 64;
  Bytes encrypted(whole);
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  EVP_EncryptInit_ex(context, EVP_des_ede_cbc(), nullptr, hash.data(), hash.data() + 12);
  EVP_CIPHER_CTX_set_padding(context, 0);
  int written = 0;
  if (whole > 0) {
    EVP_EncryptUpdate(context, encrypted.data(), &written, content.data(), static_cast<int>(whole));
  }
  EVP_CIPHER_CTX_free(context);
  file.insert(file.end(), encrypted.begin(), encrypted.end());
  file.insert(file.end(), content.begin() + static_cast<long>(whole), content.end());
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  return tarvik::fuzzing::prepareScratch();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const bool sha512 = (data[0] & 1U) != 0;
  const bool makeValid = (data[0] & 2U) != 0;
  const std::size_t hashSize = sha512 ? 64 : 20;
  if (size < 1 + hashSize) {
    return 0;
  }
  const Bytes rest(data + 1 + hashSize, data + size);
  const Bytes hash = makeValid ? digestOf(rest, sha512) : Bytes(data + 1, data + 1 + hashSize);
  const Bytes file = makeValid ? protect(rest, hash) : rest;

  const fs::path input = tarvik::fuzzing::scratchFolder() / "report.rcc";
  const fs::path clear = tarvik::fuzzing::scratchFolder() / "report";
  tarvik::testing::writeFileBytes(input, file);
  const tarvik::ValidateTool tool;
  const std::string hashText = toHex(hash);
  const bool validated = tool.validateHash(input.string(), hashText);
  const bool decrypted = validated && tool.decryptFile(input.string(), hashText);

  if (makeValid && !decrypted) {
    std::abort();
  }
  if (decrypted != fs::exists(clear)) {
    std::abort();
  }
  if (decrypted) {
    const Bytes written = tarvik::testing::readFileBytes(clear);
    if (written.size() + 8 != file.size() || digestOf(written, sha512) != hash ||
        (makeValid && written != rest)) {
      std::abort();
    }
  }
  std::error_code ignored;
  fs::remove(clear, ignored);
  const auto entries = std::distance(fs::directory_iterator(tarvik::fuzzing::scratchFolder()),
                                     fs::directory_iterator());
  if (entries != 1) {
    std::abort();  // something besides the protected file was left behind
  }
  return 0;
}
