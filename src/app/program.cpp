#include <algorithm>
#include <array>
#include <string>

#include "app/console.h"
#include "app/validate_tool.h"

namespace tarvik {
namespace {

constexpr std::array<const char*, 4> kCryptogramOptions = {"-ascii", "-a", "-ebcdic", "-e"};

bool isCryptogramOption(const std::string& argument) {
  return std::any_of(kCryptogramOptions.begin(), kCryptogramOptions.end(),
                     [&argument](const char* option) { return argument == option; });
}

bool hasValidHashLength(const std::string& hashText) {
  return hashText.size() == 40 || hashText.size() == 128;
}

// The steps of validate mode; the first failure ends it.
int runValidateMode(const ValidateTool& tool, const std::string& inputName,
                    const std::string& hashText) {
  if (!tool.checkInputFile(inputName)) {
    tool.reportValidateFailed();
    return kExitFailure;
  }
  if (!hasValidHashLength(hashText)) {
    printLine("Invalid hash value.  Hash value must be 40 or 128 characters");
    tool.reportValidateFailed();
    return kExitFailure;
  }
  if (!tool.validateHash(inputName, hashText)) {
    printLine("Hash validation failed");
    tool.reportValidateFailed();
    return kExitFailure;
  }
  if (!tool.decryptFile(inputName, hashText)) {
    printLine("Decryption failed!");
    tool.reportValidateFailed();
    return kExitFailure;
  }
  printLine("Validate processing completed successfully");
  return kExitSuccess;
}

int runMode(const ValidateTool& tool, int argumentCount, const char* const* arguments) {
  if (argumentCount != 3) {
    tool.printUsage();
    return kExitUsage;
  }
  const std::string first = arguments[1];
  const std::string second = arguments[2];
  if (isCryptogramOption(first)) {
    return tool.createCryptogram(first, second);
  }
  return runValidateMode(tool, first, second);
}

}  // namespace

int runTarvikValidate(int argumentCount, const char* const* arguments) {
  const ValidateTool tool;
  printLine("TarvikValidate  ", tool.currentTimestamp());
  printLine("================================");
  const int status = runMode(tool, argumentCount, arguments);
  // A run whose report never reached its reader did not succeed, whatever its job did.
  return status == kExitSuccess && wasConsoleOutputLost() ? kExitFailure : status;
}

}  // namespace tarvik
