#pragma once
// What the validation pass and the decryption pass share.

#include <memory>
#include <string>

#include "platform/platform.h"
#include "protected/digest.h"
#include "protected/hash_text.h"

namespace tarvik {

/// Starts a pass over a protected file: decodes `hashText` into `hash`, then opens the file.
/// Prints the reason and returns nullptr when either fails; a bad hash opens no file.
std::unique_ptr<platform::InputFile> openProtectedFile(const std::string& inputName,
                                                       const std::string& hashText,
                                                       HashBytes& hash);

/// Reads the header of the protected file; prints the reason and returns false when it is not
/// that of a protected file or cannot be read.
bool checkProtectedHeader(platform::InputFile& input, const std::string& inputName);

/// Finishes `digest` and compares it with the hash text in either case; prints the mismatch.
bool confirmDigest(ContentDigest& digest, const std::string& hashText);

/// Prints the line for a read error of the protected file.
void reportReadError(const std::string& inputName);

}  // namespace tarvik
