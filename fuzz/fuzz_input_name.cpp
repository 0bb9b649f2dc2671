// Any input name through the clear-file naming and the input-file check: never out of bounds,
// and the clear file of an accepted name is the name without its final ".rcc".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/validate_tool.h"
#include "protected/clear_file.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // The check prints its refusals; they are not what is under test.
  return std::freopen("/dev/null", "w", stdout) == nullptr ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A command-line argument holds no zero byte.
  std::string name(reinterpret_cast<const char*>(data), size);
  name = name.substr(0, name.find('\0'));

  const bool suffixed = tarvik::hasProtectedSuffix(name);
  const std::string clear = tarvik::clearFileName(name);
  if (suffixed && clear + ".rcc" != name) {
    std::abort();
  }
  if (!suffixed && name.size() >= 4 && name.compare(name.size() - 4, 4, ".rcc") == 0) {
    std::abort();
  }
  // Only looks: the check writes nothing, wherever the name points.
  if (tarvik::ValidateTool().checkInputFile(name) && !suffixed) {
    std::abort();
  }
  return 0;
}
