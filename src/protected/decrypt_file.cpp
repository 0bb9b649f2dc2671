#include "app/console.h"
#include "app/validate_tool.h"
#include "protected/clear_file.h"
#include "protected/pass.h"

namespace tarvik {
namespace {

using platform::PendingFile;

void reportWriteError(const std::string& clearName) {
  printLine("Error writing output file ", clearName);
}

void reportNameTaken(const std::string& clearName) {
  printLine("Output file ", clearName, " already exists");
}

// Decrypts the body into `output`, digesting exactly the bytes written, and checks that digest
// against the hash once more: the protected file may have changed since it was validated.
bool writeVerifiedBody(platform::InputFile& input, const std::string& inputName,
                       const std::string& hashText, const HashBytes& hash, PendingFile& output,
                       const std::string& clearName) {
  const BodyCheck check = verifyBody(
      input, inputName, hashText, hash,
      [&output](const unsigned char* data, std::size_t size) { return output.write(data, size); });
  if (check == BodyCheck::ConsumerStopped) {
    reportWriteError(clearName);
  }
  return check == BodyCheck::Verified;
}

bool publishClearFile(PendingFile& output, const std::string& clearName) {
  if (!output.commit()) {
    reportWriteError(clearName);
    return false;
  }
  switch (output.publish()) {
    case PendingFile::PublishResult::Published:
      return true;
    case PendingFile::PublishResult::NameTaken:
      reportNameTaken(clearName);
      return false;
    case PendingFile::PublishResult::Failed:
      break;
  }
  reportWriteError(clearName);
  return false;
}

}  // namespace

bool ValidateTool::decryptFile(const std::string& inputName, const std::string& hashText) const {
  if (!hasProtectedSuffix(inputName)) {
    // Otherwise the clear-file name could be the protected file's own name.
    printLine("Input File must be of type .rcc");
    return false;
  }
  HashBytes hash;
  const auto input = openProtectedFile(inputName, hashText, hash);
  if (!input) {
    return false;
  }
  const std::string clearName = clearFileName(inputName);
  if (platform::pathExists(clearName)) {
    reportNameTaken(clearName);
    return false;
  }
  // Until it is published the clear file has no name, so a failure or a killed run leaves
  // nothing under the clear-file name; on failure the object discards it.
  const auto output = PendingFile::create(clearName);
  if (!output) {
    printLine("Unable to open output file ", clearName);
    return false;
  }
  // Checked again: the file may have been replaced since it was validated.
  if (!checkProtectedHeader(*input, inputName)) {
    return false;
  }
  printLine("Decrypting file ", inputName);
  if (!writeVerifiedBody(*input, inputName, hashText, hash, *output, clearName) ||
      !publishClearFile(*output, clearName)) {
    return false;
  }
  printLine("Decryption to ", clearName, " complete");
  return true;
}

}  // namespace tarvik
