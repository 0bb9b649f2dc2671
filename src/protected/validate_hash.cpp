#include "app/console.h"
#include "app/validate_tool.h"
#include "protected/pass.h"

namespace tarvik {

bool ValidateTool::validateHash(const std::string& inputName, const std::string& hashText) const {
  HashBytes hash;
  const auto input = openProtectedFile(inputName, hashText, hash);
  if (!input) {
    return false;
  }
  printLine("Validating hash");
  if (!checkProtectedHeader(*input, inputName)) {
    return false;
  }
  const auto digestOnly = [](const unsigned char* /*data*/, std::size_t /*size*/) { return true; };
  if (verifyBody(*input, inputName, hashText, hash, digestOnly) != BodyCheck::Verified) {
    return false;
  }
  printLine("Hash value is correct");
  return true;
}

}  // namespace tarvik
