#include "app/console.h"
#include "app/validate_tool.h"
#include "protected/digest.h"
#include "protected/pass.h"
#include "protected/protected_file.h"

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
  ContentDigest digest(hashText.size());
  FileKeys keys(hash);
  const WalkResult walk =
      walkChunks(*input, keys, [&digest](const unsigned char* data, std::size_t size) {
        digest.update(data, size);
        return true;
      });
  if (walk != WalkResult::Complete) {
    reportReadError(inputName);
    return false;
  }
  if (!confirmDigest(digest, hashText)) {
    return false;
  }
  printLine("Hash value is correct");
  return true;
}

}  // namespace tarvik
