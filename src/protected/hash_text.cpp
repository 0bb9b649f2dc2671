#include "protected/hash_text.h"

#include <algorithm>
#include <string>

#include <openssl/crypto.h>

#include "app/validate_tool.h"

namespace tarvik {
namespace {

/// Value of a hexadecimal digit of either case, or -1.
int hexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') {
    return digit - '0';
  }
  if (digit >= 'A' && digit <= 'F') {
    return digit - 'A' + 10;
  }
  if (digit >= 'a' && digit <= 'f') {
    return digit - 'a' + 10;
  }
  return -1;
}

bool isHexText(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char digit) { return hexDigitValue(digit) >= 0; });
}

}  // namespace

HashBytes::~HashBytes() { OPENSSL_cleanse(data.data(), data.size()); }

bool ValidateTool::decodeHashText(const std::string& hashText, HashBytes& bytes) {
  // Every test finishes before the first byte is written, so a refused text changes nothing.
  if (hashText.size() % 2 != 0 || hashText.size() / 2 > HashBytes::kCapacity ||
      !isHexText(hashText)) {
    return false;
  }
  for (std::size_t i = 0; i < hashText.size(); i += 2) {
    bytes.data[i / 2] = static_cast<unsigned char>(hexDigitValue(hashText[i]) * 16 +
                                                   hexDigitValue(hashText[i + 1]));
  }
  bytes.size = hashText.size() / 2;
  return true;
}

}  // namespace tarvik
