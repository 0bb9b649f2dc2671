#pragma once
// Helpers shared by the unit and end-to-end tests.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::testing {

using Bytes = std::vector<unsigned char>;

Bytes fromHex(const std::string& hex);
std::string toHex(const Bytes& bytes);

/// Bytes 0, 1, 2, ... wrapping at 256, offset by `start`.
Bytes makeCountingBytes(std::size_t size, unsigned start = 0);

Bytes readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const Bytes& bytes);

/// Names of the entries of `folder`, sorted.
std::vector<std::string> listFolder(const std::filesystem::path& folder);

/// A fresh empty folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
  std::filesystem::path path_;
};

/// Runs `command` through the shell; returns its standard output and sets `status` to its exit
/// status (or 128 + the signal that ended it).
std::string runCommand(const std::string& command, int& status);

/// Quotes `text` for the POSIX shell.
std::string shellQuote(const std::string& text);

/// Makes `folder/name` a protected file of `clear` with the independent producer script
/// (openssl command-line tool and coreutils); returns the hash text it printed (lower case).
std::string makeProtectedFile(const std::filesystem::path& folder, const std::string& name,
                              const Bytes& clear, const std::string& algorithm);

}  // namespace tarvik::testing
