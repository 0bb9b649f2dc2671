#pragma once
// Shared by both halves of the platform layer.

#include <cstdint>
#include <random>
#include <string>

namespace tarvik::platform {

/// Sixteen random hexadecimal digits for the name of a temporary file, so that a file left by a
/// killed run never stands in the way of a later one. `processId` keeps two runs started in the
/// same instant apart even where the random device is weak.
inline std::string makeUniqueSuffix(std::uint64_t processId) {
  static std::random_device device;
  static std::mt19937_64 generator(device() ^ processId);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint64_t bits = generator(), i = 0; i < 16; ++i, bits >>= 4U) {
    text += kDigits[bits & 0xFU];
  }
  return text;
}

}  // namespace tarvik::platform
