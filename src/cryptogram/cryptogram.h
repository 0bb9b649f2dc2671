#pragma once

#include <array>
#include <optional>
#include <string>

namespace tarvik {

/// The built-in key string; the cryptogram key is picked from it.
extern const char* const kBuiltInKey;

/// The AES-128 key: the characters of `kBuiltInKey` at positions 8, 10, ..., 22, then eight zeros.
std::array<unsigned char, 16> pickCryptogramKey();

enum class TextEncoding { Ascii, Ebcdic };

/// The Base64 of the AES-128 encryption of the first 16 bytes of `text` (zero-filled to one
/// block, translated to EBCDIC first if asked): 24 characters, or empty for an empty text.
/// Empty when the cipher fails, which a non-empty text never gives otherwise.
std::optional<std::string> buildCryptogram(const std::string& text, TextEncoding encoding);

}  // namespace tarvik
