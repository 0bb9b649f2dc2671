// Any input name through the clear-file naming and the input-file check, in a scratch folder
// where the first input byte may put a file, a folder or a dangling link at the clear-file name:
// never out of bounds, the clear file of an accepted name is the name without its final ".rcc",
// and a name is accepted exactly when it ends in ".rcc" and nothing at all stands at its clear
// file.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/validate_tool.h"
#include "fuzz_scratch.h"
#include "protected/clear_file.h"

namespace {

namespace fs = std::filesystem;

enum class Entry { None, File, Folder, DanglingLink };

// Makes the entry for a plain clear-file name inside the scratch folder; false when none was
// made.
bool makeEntry(Entry entry, const std::string& clearName) {
  if (entry == Entry::None || clearName.empty() || clearName.find('/') != std::string::npos ||
      clearName == "." || clearName == "..") {
    return false;
  }
  const std::string clear = (tarvik::fuzzing::scratchFolder() / clearName).string();
  std::error_code error;
  switch (entry) {
    case Entry::File: {
      std::FILE* file = std::fopen(clear.c_str(), "wb");
      return file != nullptr && std::fclose(file) == 0;
    }
    case Entry::Folder:
      return fs::create_directory(clear, error);
    case Entry::DanglingLink:
      fs::create_symlink("nowhere", clear, error);
      return !error;
    case Entry::None:
      break;
  }
  return false;
}

bool existsAtAll(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::symlink_status(path, error).type() != fs::file_type::not_found &&
         !error;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  return tarvik::fuzzing::prepareScratch();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const auto entry = static_cast<Entry>(data[0] % 4);
  // A command-line argument holds no zero byte.
  std::string name(reinterpret_cast<const char*>(data + 1), size - 1);
  name = name.substr(0, name.find('\0'));

  const bool suffixed = tarvik::hasProtectedSuffix(name);
  const std::string clear = tarvik::clearFileName(name);
  if (suffixed != (name.size() >= 4 && name.compare(name.size() - 4, 4, ".rcc") == 0)) {
    std::abort();
  }
  if (suffixed && clear + ".rcc" != name) {
    std::abort();
  }
  const bool made = suffixed && makeEntry(entry, clear);
  // Only looks: the check writes nothing, wherever the name points. A relative name is taken in
  // the scratch folder.
  const std::string inFolder =
      name.empty() || name[0] == '/' ? name : (tarvik::fuzzing::scratchFolder() / name).string();
  const bool accepted = tarvik::ValidateTool().checkInputFile(inFolder);
  if (accepted != (suffixed && !existsAtAll(tarvik::clearFileName(inFolder)))) {
    std::abort();
  }
  if (made && accepted) {
    std::abort();
  }
  for (const auto& left : fs::directory_iterator(tarvik::fuzzing::scratchFolder())) {
    std::error_code ignored;
    fs::remove_all(left.path(), ignored);
  }
  return 0;
}
