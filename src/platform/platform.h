#pragma once
// The only place that knows which operating system it runs on. Everything here takes paths as
// byte strings, exactly as the command line delivered them.

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>

namespace tarvik::platform {

/// Converts `time` to local time by the platform's time zone and daylight-saving rules.
/// Returns false when the platform cannot convert it.
bool toLocalTime(std::time_t time, std::tm& local);

/// True when anything at all stands at `path`: a file of any kind (readable or not), a folder,
/// or a link, a dangling one included.
bool pathExists(const std::string& path);

/// A file opened by path for reading in binary mode; closed when the object goes.
class InputFile {
public:
  /// Returns nullptr when the file cannot be opened for reading.
  static std::unique_ptr<InputFile> open(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  /// Reads until `size` bytes have arrived or the file ends, so a count below `size` always
  /// means the end of the file. Returns false on a read error; `count` then holds what arrived.
  bool readFully(unsigned char* buffer, std::size_t size, std::size_t& count);

  struct Handle;

private:
  explicit InputFile(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

/// A new file that gets its final name only when it is whole. It is created in the folder of the
/// final path, exclusively and without following links, and it is invisible (or, where the
/// platform cannot hide it, uniquely named) until `publish` succeeds. If the object goes before
/// that, the file is discarded.
class PendingFile {
public:
  enum class Naming { UnnamedWherePossible, AlwaysNamed };
  enum class PublishResult { Published, NameTaken, Failed };

  /// Returns nullptr when no file can be created in the folder of `finalPath`.
  static std::unique_ptr<PendingFile> create(const std::string& finalPath,
                                             Naming naming = Naming::UnnamedWherePossible);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  /// Writes all `size` bytes; false on any failure.
  bool write(const unsigned char* data, std::size_t size);

  /// Flushes everything written to stable storage. False on any failure.
  bool commit();

  /// Gives the committed file its final name, never replacing anything that has appeared there,
  /// then makes the new name itself durable.
  PublishResult publish();

  struct Handle;

private:
  explicit PendingFile(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

}  // namespace tarvik::platform
