#pragma once

#include <string>

namespace tarvik {

/// True when `inputName` ends in ".rcc", compared byte for byte.
bool hasProtectedSuffix(const std::string& inputName);

/// `inputName` without its last ".rcc" and whatever follows it; for every name that
/// `hasProtectedSuffix` accepts, the clear file therefore lies beside the protected file.
std::string clearFileName(const std::string& inputName);

}  // namespace tarvik
