#pragma once
// A protected file: the 8-byte magic, then the body. The body holds the clear content's whole
// 64-byte chunks encrypted as one CBC chain, followed by the last 0 to 63 bytes in the clear.

#include <array>
#include <cstddef>
#include <functional>

#include "platform/platform.h"
#include "protected/file_keys.h"

namespace tarvik {

constexpr std::array<unsigned char, 8> kProtectedFileMagic = {'*', 'P', 'A', '-',
                                                              'D', 'S', 'S', '*'};

enum class HeaderResult { Valid, NotProtected, ReadError };

/// Reads the first 8 bytes of `file` and checks them against the magic.
HeaderResult readProtectedHeader(platform::InputFile& file);

enum class WalkResult { Complete, ReadError, Stopped };

/// Receives clear bytes in file order; returns false to stop the walk.
using ClearBytesConsumer = std::function<bool(const unsigned char* data, std::size_t size)>;

/// Reads the body of `file` (its header already read) to its end and hands `consume` the clear
/// content: every whole chunk decrypted with `keys`, then the tail exactly as stored. The body is
/// streamed through one fixed buffer, which is wiped at the end.
WalkResult walkChunks(platform::InputFile& file, FileKeys& keys, const ClearBytesConsumer& consume);

}  // namespace tarvik
