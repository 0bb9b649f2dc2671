#include "protected/clear_file.h"

#include "app/console.h"
#include "app/validate_tool.h"
#include "platform/platform.h"

namespace tarvik {
namespace {

constexpr std::string_view kProtectedSuffix = ".rcc";

}  // namespace

bool hasProtectedSuffix(const std::string& inputName) {
  const auto position = inputName.rfind(kProtectedSuffix);
  return position != std::string::npos && position + kProtectedSuffix.size() == inputName.size();
}

std::string clearFileName(const std::string& inputName) {
  const auto position = inputName.rfind(kProtectedSuffix);
  return position == std::string::npos ? inputName : inputName.substr(0, position);
}

bool ValidateTool::checkInputFile(const std::string& inputName) const {
  if (!hasProtectedSuffix(inputName)) {
    printLine("Input File must be of type .rcc");
    return false;
  }
  // Anything at the name counts, not only what opens for reading: an unreadable file or a
  // dangling link would otherwise let the clear file be written over or through it.
  const std::string clearName = clearFileName(inputName);
  if (platform::pathExists(clearName)) {
    printLine("Output file ", clearName, " already exists");
    return false;
  }
  return true;
}

}  // namespace tarvik
