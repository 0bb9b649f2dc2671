#include "support/test_support.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#else
#include <sys/wait.h>
#endif

namespace tarvik::testing {

Bytes fromHex(const std::string& hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string toHex(const Bytes& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : bytes) {
    hex += kDigits[byte >> 4U];
    hex += kDigits[byte & 0xFU];
  }
  return hex;
}

Bytes makeCountingBytes(std::size_t size, unsigned start) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<unsigned char>((start + i) & 0xFFU);
  }
  return bytes;
}

Bytes readFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path.string());
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::vector<std::string> listFolder(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScratchFolder::ScratchFolder() {
  static std::mt19937_64 generator(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = std::filesystem::temp_directory_path() /
                           ("tarvik-test-" + std::to_string(generator() % 1'000'000'000'000U));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  // Tests take permissions away; give them back so that everything can go.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string runCommand(const std::string& command, int& status) {
  FILE* pipe = ::popen(command.c_str(), "r");  // NOLINT(cert-env33-c): the tests drive a shell
  if (pipe == nullptr) {
    throw std::runtime_error("cannot run " + command);
  }
  std::string output;
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    output.append(buffer.data(), got);
  }
  const int raw = ::pclose(pipe);
#ifdef _WIN32
  status = raw;
#else
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
  return output;
}

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string makeProtectedFile(const std::filesystem::path& folder, const std::string& name,
                              const Bytes& clear, const std::string& algorithm) {
  const ScratchFolder input;
  const auto clearPath = input / "clear";
  writeFileBytes(clearPath, clear);
  int status = 0;
  std::string hash = runCommand(shellQuote(TARVIK_PRODUCER) + " " + shellQuote(clearPath.string()) +
                                    " " + algorithm + " " + shellQuote((folder / name).string()),
                                status);
  if (status != 0) {
    throw std::runtime_error("the producer script failed for " + name);
  }
  while (!hash.empty() && (hash.back() == '\n' || hash.back() == '\r')) {
    hash.pop_back();
  }
  return hash;
}

}  // namespace tarvik::testing
