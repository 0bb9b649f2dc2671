#include "protected/pass.h"

#include "app/console.h"
#include "app/validate_tool.h"

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

void reportReadError(const std::string& inputName) {
  printLine("Error reading input file ", inputName);
}

}  // namespace tarvik
