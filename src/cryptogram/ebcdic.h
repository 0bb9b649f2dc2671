#pragma once

#include <array>

namespace tarvik {

/// ASCII to EBCDIC, one entry per byte value; index it with the byte's unsigned value.
extern const std::array<unsigned char, 256> kAsciiToEbcdic;

/// The EBCDIC byte for `byte`, whatever the signedness of the type that held it.
inline unsigned char toEbcdic(char byte) {
  return kAsciiToEbcdic[static_cast<unsigned char>(byte)];
}

}  // namespace tarvik
