// Any text through the cryptogram builder in both modes: always empty for an empty text and
// otherwise 24 characters of the Base64 alphabet ending in "=="; only the first 16 bytes count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cryptogram/cryptogram.h"

namespace {

bool isBase64Character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '/';
}

void checkCryptogram(const std::string& text, tarvik::TextEncoding encoding) {
  const auto cryptogram = tarvik::buildCryptogram(text, encoding);
  if (!cryptogram) {
    std::abort();
  }
  if (text.empty()) {
    if (!cryptogram->empty()) {
      std::abort();
    }
    return;
  }
  if (cryptogram->size() != 24 || cryptogram->compare(22, 2, "==") != 0) {
    std::abort();
  }
  for (std::size_t i = 0; i < 22; ++i) {
    if (!isBase64Character((*cryptogram)[i])) {
      std::abort();
    }
  }
  if (text.size() > 16 && tarvik::buildCryptogram(text.substr(0, 16), encoding) != cryptogram) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  checkCryptogram(text, tarvik::TextEncoding::Ascii);
  checkCryptogram(text, tarvik::TextEncoding::Ebcdic);
  return 0;
}
