#pragma once
// What the validation pass and the decryption pass share.

#include <memory>
#include <string>

#include "platform/platform.h"
#include "protected/hash_text.h"

namespace tarvik {

/// Starts a pass over a protected file: decodes `hashText` into `hash`, then opens the file.
/// Prints the reason and returns nullptr when either fails; a bad hash opens no file.
std::unique_ptr<platform::InputFile> openProtectedFile(const std::string& inputName,
                                                       const std::string& hashText,
                                                       HashBytes& hash);

/// Prints the line for a read error of the protected file.
void reportReadError(const std::string& inputName);

}  // namespace tarvik
