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

BodyCheck verifyBody(platform::InputFile& input, const std::string& inputName,
                     const std::string& hashText, const HashBytes& hash,
                     const ClearBytesConsumer& consume) {
  ContentDigest digest(hashText.size());
  FileKeys keys(hash);
  const WalkResult walk =
      walkChunks(input, keys, [&digest, &consume](const unsigned char* data, std::size_t size) {
        digest.update(data, size);
        return consume(data, size);
      });
  if (walk == WalkResult::Stopped) {
    return BodyCheck::ConsumerStopped;
  }
  if (walk == WalkResult::ReadError) {
    reportReadError(inputName);
    return BodyCheck::Refused;
  }
  if (digest.finishHex() != toUpperAscii(hashText)) {
    printLine("Error: Hash mismatch");
    return BodyCheck::Refused;
  }
  return BodyCheck::Verified;
}

void reportReadError(const std::string& inputName) {
  printLine("Error reading input file ", inputName);
}

}  // namespace tarvik
