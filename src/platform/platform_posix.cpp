#include "platform/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <random>

namespace tarvik::platform {
namespace {

constexpr mode_t kNewFileMode = 0666;  // as "wb" would create it; the umask applies

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

std::string makeUniqueSuffix() {
  static std::random_device device;
  static std::mt19937_64 generator(device() ^ static_cast<std::uint64_t>(::getpid()));
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint64_t bits = generator(), i = 0; i < 16; ++i, bits >>= 4U) {
    text += kDigits[bits & 0xFU];
  }
  return text;
}

}  // namespace

bool toLocalTime(std::time_t time, std::tm& local) {
  return ::localtime_r(&time, &local) != nullptr;
}

bool pathExists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// ---------------------------------------------------------------------------------------------

struct InputFile::Handle {
  int fd = -1;
};

InputFile::InputFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

InputFile::~InputFile() { ::close(handle_->fd); }

std::unique_ptr<InputFile> InputFile::open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new InputFile(std::make_unique<Handle>(Handle{fd})));
}

bool InputFile::readFully(unsigned char* buffer, std::size_t size, std::size_t& count) {
  count = 0;
  while (count < size) {
    const ssize_t got = ::read(handle_->fd, buffer + count, size - count);
    if (got == 0) {
      return true;
    }
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    count += static_cast<std::size_t>(got);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

// An unnamed file (O_TMPFILE) has an empty `tempPath`; a named one is removed unless published.
struct PendingFile::Handle {
  int fd = -1;
  std::string finalPath;
  std::string tempPath;
  bool published = false;
};

PendingFile::PendingFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

PendingFile::~PendingFile() {
  if (handle_->fd >= 0) {
    ::close(handle_->fd);
  }
  if (!handle_->published && !handle_->tempPath.empty()) {
    ::unlink(handle_->tempPath.c_str());
  }
}

namespace {

int createUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
#else
  (void)folder;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// A hidden name beside the final one, with a random part so that a file left by a killed run
// never stands in the way of a later one.
int createNamed(const std::string& folder, const std::string& finalPath, std::string& tempPath) {
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate =
        folder + "/." + baseNameOf(finalPath) + "." + makeUniqueSuffix() + ".partial";
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          kNewFileMode);
    if (fd >= 0) {
      tempPath = candidate;
      return fd;
    }
    if (errno != EEXIST) {
      return -1;
    }
  }
  return -1;
}

bool isUnsupportedUnnamed(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// Links the unnamed file into the folder; link creation never replaces an existing name.
int linkUnnamed(int fd, const std::string& finalPath) {
  const std::string procPath = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, finalPath.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return 0;
  }
  if (errno != ENOENT) {
    return -1;
  }
#ifdef AT_EMPTY_PATH
  return ::linkat(fd, "", AT_FDCWD, finalPath.c_str(), AT_EMPTY_PATH);
#else
  return -1;
#endif
}

// Gives `tempPath` the name `finalPath` unless that name is taken.
int renameNoReplace(const std::string& tempPath, const std::string& finalPath) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, finalPath.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return -1;
  }
#endif
  if (::link(tempPath.c_str(), finalPath.c_str()) != 0) {
    return -1;
  }
  ::unlink(tempPath.c_str());
  return 0;
}

}  // namespace

std::unique_ptr<PendingFile> PendingFile::create(const std::string& finalPath, Naming naming) {
  if (finalPath.empty()) {
    return nullptr;
  }
  auto handle = std::make_unique<Handle>();
  handle->finalPath = finalPath;
  const std::string folder = folderOf(finalPath);
  if (naming == Naming::UnnamedWherePossible) {
    handle->fd = createUnnamed(folder);
  }
  if (handle->fd < 0 && (naming == Naming::AlwaysNamed || isUnsupportedUnnamed(errno))) {
    handle->fd = createNamed(folder, finalPath, handle->tempPath);
  }
  if (handle->fd < 0) {
    return nullptr;
  }
  return std::unique_ptr<PendingFile>(new PendingFile(std::move(handle)));
}

bool PendingFile::write(const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(handle_->fd, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool PendingFile::commit() {
  if (::fsync(handle_->fd) != 0) {
    return false;
  }
  if (handle_->tempPath.empty()) {
    return true;  // an unnamed file must stay open until it is linked
  }
  const int fd = handle_->fd;
  handle_->fd = -1;
  return ::close(fd) == 0;
}

PendingFile::PublishResult PendingFile::publish() {
  Handle& file = *handle_;
  const bool unnamed = file.tempPath.empty();
  const int result = unnamed ? linkUnnamed(file.fd, file.finalPath)
                             : renameNoReplace(file.tempPath, file.finalPath);
  if (result != 0) {
    return errno == EEXIST ? PublishResult::NameTaken : PublishResult::Failed;
  }
  file.published = true;
  bool durable = true;
  if (unnamed) {
    durable = ::close(file.fd) == 0;
    file.fd = -1;
  }
  durable = syncFolder(folderOf(file.finalPath)) && durable;
  if (!durable) {
    // The name was ours a moment ago; a failure leaves no clear file behind.
    ::unlink(file.finalPath.c_str());
    return PublishResult::Failed;
  }
  return PublishResult::Published;
}

}  // namespace tarvik::platform
