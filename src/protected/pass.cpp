#include "protected/pass.h"

#include "app/console.h"
#include "app/validate_tool.h"
#include "protected/protected_file.h"

namespace tarvik {

std::unique_ptr<platform::InputFile> openProtectedFile(const std::string& inputName,
                                                       const std::string& hashText,
                                                       HashBytes& hash) {
  if (!ValidateTool::decodeHashText(hashText, hash)) {
    printLine("Invalid hash value");
    return nullptr;
  }
  auto input = platform::InputFile::open(inputName);
  if (!input) {
    printLine("Cannot open input file ", inputName);
  }
  return input;
}

bool checkProtectedHeader(platform::InputFile& input, const std::string& inputName) {
  switch (readProtectedHeader(input)) {
    case HeaderResult::Valid:
      return true;
    case HeaderResult::NotProtected:
      printLine("Invalid file: not encrypted by Tarvik");
      return false;
    case HeaderResult::ReadError:
      break;
  }
  reportReadError(inputName);
  return false;
}

bool confirmDigest(ContentDigest& digest, const std::string& hashText) {
  if (digest.finishHex() != toUpperAscii(hashText)) {
    printLine("Error: Hash mismatch");
    return false;
  }
  return true;
}

void reportReadError(const std::string& inputName) {
  printLine("Error reading input file ", inputName);
}

}  // namespace tarvik
