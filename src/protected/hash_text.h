#pragma once

#include <array>
#include <cstddef>

namespace tarvik {

/// The decoded hash text: 20 bytes of a SHA-1 digest or 64 of a SHA-512 digest. Being key
/// material, it is wiped when it goes.
struct HashBytes {
  static constexpr std::size_t kCapacity = 64;
  std::array<unsigned char, kCapacity> data{};
  std::size_t size = 0;

  HashBytes() = default;
  HashBytes(const HashBytes&) = default;
  HashBytes& operator=(const HashBytes&) = default;
  ~HashBytes();
};

}  // namespace tarvik
