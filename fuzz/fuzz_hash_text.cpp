// Any bytes as the hash text: never out of bounds, refuses anything that is not an even run of
// at most 128 hexadecimal digits, leaves the output untouched when it refuses, and otherwise
// decodes to bytes that encode back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/validate_tool.h"
#include "protected/hash_text.h"

namespace {

constexpr unsigned char kSentinel = 0xA5;
constexpr std::size_t kSentinelSize = 99;

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool shouldAccept(const std::string& text) {
  if (text.size() % 2 != 0 || text.size() > 2 * tarvik::HashBytes::kCapacity) {
    return false;
  }
  for (const char c : text) {
    if (!isHexDigit(c)) {
      return false;
    }
  }
  return true;
}

int digitValue(char c) {
  const char upper = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
  return upper <= '9' ? upper - '0' : upper - 'A' + 10;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  tarvik::HashBytes bytes;
  bytes.data.fill(kSentinel);
  bytes.size = kSentinelSize;
  const bool accepted = tarvik::ValidateTool::decodeHashText(text, bytes);
  if (accepted != shouldAccept(text)) {
    std::abort();
  }
  if (!accepted) {
    for (const unsigned char byte : bytes.data) {
      if (byte != kSentinel || bytes.size != kSentinelSize) {
        std::abort();
      }
    }
    return 0;
  }
  if (bytes.size != text.size() / 2) {
    std::abort();
  }
  for (std::size_t i = 0; i < bytes.size; ++i) {
    if (bytes.data[i] != digitValue(text[2 * i]) * 16 + digitValue(text[2 * i + 1])) {
      std::abort();
    }
  }
  return 0;
}
