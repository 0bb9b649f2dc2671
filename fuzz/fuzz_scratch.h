#pragma once
// The set-up that the fuzz targets driving whole operations share.

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace tarvik::fuzzing {

/// The folder the target works in, made by `prepareScratch`.
inline std::filesystem::path& scratchFolder() {
  static std::filesystem::path folder;
  return folder;
}

/// Makes a fresh scratch folder, removed when the fuzzer exits, and throws the operations'
/// console lines away: they are not what is under test. Returns 0 on success, as libFuzzer's
/// initialisation hook wants.
inline int prepareScratch() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr || std::freopen("/dev/null", "w", stdout) == nullptr) {
    return 1;
  }
  scratchFolder() = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
  });
  return 0;
}

}  // namespace tarvik::fuzzing
