#include "platform/platform.h"
#include "platform/unique_suffix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>

namespace tarvik::platform {
namespace {

constexpr mode_t kNewFileMode = 0666;  // as "wb" would create it; the umask applies
constexpr std::size_t kMaxNameInTempName = 200;

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

namespace {

bool isReadableKind(const struct stat& status) {
  return !S_ISFIFO(status.st_mode) && !S_ISSOCK(status.st_mode) && !S_ISCHR(status.st_mode);
}

}  // namespace

std::unique_ptr<InputFile> InputFile::open(const std::string& path) {
  // Pipes, sockets and terminals would block the run or never end. They are refused by a look
  // before the open (which for a pipe would already wait for a writer), and the file that was
  // opened is looked at once more.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !isReadableKind(status)) {
    return nullptr;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  if (::fstat(fd, &status) != 0 || !isReadableKind(status)) {
    ::close(fd);
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

// The pending file is created, named and synced relative to its folder, opened once, so that
// all of it happens in the same folder even if a path component is renamed meanwhile. `tempName`
// is set while a named temporary file exists that must go when the object goes.
struct PendingFile::Handle {
  int folderFd = -1;
  bool folderReadable = false;  // a folder opened only as a path cannot be synced
  int fd = -1;
  std::string finalName;
  std::string tempName;
  dev_t device = 0;
  ino_t inode = 0;
};

PendingFile::PendingFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

PendingFile::~PendingFile() {
  Handle& file = *handle_;
  if (file.fd >= 0) {
    ::close(file.fd);
  }
  if (!file.tempName.empty()) {
    ::unlinkat(file.folderFd, file.tempName.c_str(), 0);
  }
  ::close(file.folderFd);
}

namespace {

// A folder the user may write to but not list still takes the clear file.
int openFolder(const std::string& folder, bool& readable) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  readable = fd >= 0;
#ifdef O_PATH
  if (fd < 0 && errno == EACCES) {
    fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
#endif
  return fd;
}

// An unnamed file can later be linked only through /proc (or with a privilege); without that it
// would be written in full and then fail, so it is not tried.
int createUnnamed(int folderFd) {
#ifdef O_TMPFILE
  if (::access("/proc/self/fd", X_OK) == 0) {
    return ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
  }
#endif
  (void)folderFd;
  errno = EOPNOTSUPP;
  return -1;
}

bool isUnsupportedUnnamed(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// A hidden name beside the final one, with a random part so that a file left by a killed run
// never stands in the way of a later one.
int createNamed(int folderFd, const std::string& finalName, std::string& tempName) {
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // Cut so that even the longest final name leaves room for the additions.
    const std::string candidate = "." + finalName.substr(0, kMaxNameInTempName) + "." +
                                  makeUniqueSuffix(static_cast<std::uint64_t>(::getpid())) +
                                  ".partial";
    const int fd = ::openat(folderFd, candidate.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode);
    if (fd >= 0) {
      tempName = candidate;
      return fd;
    }
    if (errno != EEXIST) {
      return -1;
    }
  }
  return -1;
}

// Links the unnamed file into its folder; a link never replaces an existing name.
int linkUnnamed(const PendingFile::Handle& file) {
  const std::string procPath = "/proc/self/fd/" + std::to_string(file.fd);
  if (::linkat(AT_FDCWD, procPath.c_str(), file.folderFd, file.finalName.c_str(),
               AT_SYMLINK_FOLLOW) == 0) {
    return 0;
  }
#ifdef AT_EMPTY_PATH
  if (errno == ENOENT) {
    return ::linkat(file.fd, "", file.folderFd, file.finalName.c_str(), AT_EMPTY_PATH);
  }
#endif
  return -1;
}

// Gives the temporary file the final name unless that name is taken. Where the file system
// cannot rename without replacing, a new link and the removal of the old name do the same.
int renameNoReplace(PendingFile::Handle& file) {
  const char* from = file.tempName.c_str();
  const char* to = file.finalName.c_str();
#ifdef RENAME_NOREPLACE
  if (::renameat2(file.folderFd, from, file.folderFd, to, RENAME_NOREPLACE) == 0) {
    file.tempName.clear();
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) {
    return -1;
  }
#endif
  if (::linkat(file.folderFd, from, file.folderFd, to, 0) != 0) {
    return -1;
  }
  if (::unlinkat(file.folderFd, from, 0) == 0) {
    file.tempName.clear();  // otherwise the destructor tries again
  }
  return 0;
}

// Makes the new name durable. On file systems that do not sync folders the name is left as it
// is; an I/O error is a failure.
bool syncFolder(const PendingFile::Handle& file) {
  if (!file.folderReadable) {
#ifdef __linux__
    return ::syncfs(file.fd) == 0;  // a folder opened as a path cannot be synced on its own
#else
    return true;
#endif
  }
  return ::fsync(file.folderFd) == 0 || errno == EINVAL || errno == EROFS;
}

// Removes the final name only while it is still this file, never something put there since.
void unpublish(const PendingFile::Handle& file) {
  struct stat status {};
  if (::fstatat(file.folderFd, file.finalName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
      status.st_dev == file.device && status.st_ino == file.inode) {
    ::unlinkat(file.folderFd, file.finalName.c_str(), 0);
  }
}

}  // namespace

std::unique_ptr<PendingFile> PendingFile::create(const std::string& finalPath, Naming naming) {
  auto handle = std::make_unique<Handle>();
  handle->finalName = baseNameOf(finalPath);
  if (handle->finalName.empty()) {
    return nullptr;  // no name at all, or a name that ends in a folder separator
  }
  auto file = std::unique_ptr<PendingFile>(new PendingFile(std::move(handle)));
  Handle& pending = *file->handle_;
  pending.folderFd = openFolder(folderOf(finalPath), pending.folderReadable);
  if (pending.folderFd < 0) {
    return nullptr;
  }
  if (naming == Naming::UnnamedWherePossible) {
    pending.fd = createUnnamed(pending.folderFd);
  }
  if (pending.fd < 0 && (naming == Naming::AlwaysNamed || isUnsupportedUnnamed(errno))) {
    pending.fd = createNamed(pending.folderFd, pending.finalName, pending.tempName);
  }
  struct stat status {};
  if (pending.fd < 0 || ::fstat(pending.fd, &status) != 0) {
    return nullptr;
  }
  pending.device = status.st_dev;
  pending.inode = status.st_ino;
  return file;
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

bool PendingFile::commit() { return ::fsync(handle_->fd) == 0; }

PendingFile::PublishResult PendingFile::publish() {
  Handle& file = *handle_;
  const int result = file.tempName.empty() ? linkUnnamed(file) : renameNoReplace(file);
  if (result != 0) {
    return errno == EEXIST ? PublishResult::NameTaken : PublishResult::Failed;
  }
  const bool synced = syncFolder(file);
  const bool closed = ::close(file.fd) == 0;
  file.fd = -1;
  if (!synced || !closed) {
    unpublish(file);
    return PublishResult::Failed;
  }
  return PublishResult::Published;
}

}  // namespace tarvik::platform
