#pragma once
// What the validation pass and the decryption pass share.

#include <memory>
#include <string>

#include "platform/platform.h"
#include "protected/digest.h"
#include "protected/hash_text.h"
#include "protected/protected_file.h"

namespace tarvik {

/// Starts a pass over a protected file: decodes `hashText` into `hash`, then opens the file.
/// Prints the reason and returns nullptr when either fails; a bad hash opens no file.
std::unique_ptr<platform::InputFile> openProtectedFile(const std::string& inputName,
                                                       const std::string& hashText,
                                                       HashBytes& hash);

/// Reads the header of the protected file; prints the reason and returns false when it is not
/// that of a protected file or cannot be read.
bool checkProtectedHeader(platform::InputFile& input, const std::string& inputName);

enum class BodyCheck { Verified, Refused, ConsumerStopped };

/// Walks the body (its header already read) with keys cut from `hash`, hands every clear byte to
/// `consume` and to a digest of the hash text's kind, and compares that digest with the hash text
/// in either case. Prints a read error or a mismatch (`Refused`); a consumer that stops the walk
/// reports its own failure.
BodyCheck verifyBody(platform::InputFile& input, const std::string& inputName,
                     const std::string& hashText, const HashBytes& hash,
                     const ClearBytesConsumer& consume);

/// Prints the line for a read error of the protected file.
void reportReadError(const std::string& inputName);

}  // namespace tarvik
