#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "platform/unique_suffix.h"

namespace tarvik::platform {
namespace {

// The largest single read or write that a DWORD count can describe, kept well below it.
constexpr std::size_t kMaxTransfer = 1U << 30U;

DWORD toTransferSize(std::size_t size) {
  return static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
}

bool hasDrivePrefix(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// Where the last part of `path` starts: after its last separator or its drive ("C:name").
std::size_t nameStart(const std::string& path) {
  const auto separator = path.find_last_of("/\\");
  if (separator != std::string::npos) {
    return separator + 1;
  }
  return hasDrivePrefix(path) ? 2 : 0;
}

// A colon anywhere but after the drive letter names a stream inside a file; writing one would
// create that file as well.
bool namesAStream(const std::string& path) {
  return path.find(':', hasDrivePrefix(path) ? 2 : 0) != std::string::npos;
}

std::wstring toWide(const std::string& text) {
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

// Renames the open file to `finalPath` unless that name exists. Through the handle, so that no
// other program can open the file between its flush and its rename.
bool renameOpenFile(HANDLE file, const std::string& finalPath) {
  char fullPath[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(finalPath.c_str(), sizeof fullPath, fullPath, nullptr);
  if (length == 0 || length >= sizeof fullPath) {
    return false;
  }
  const std::wstring name = toWide(std::string(fullPath, length));
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::copy(name.begin(), name.end(), info->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != 0;
}

bool isUnsupported(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
         error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_INVALID_FUNCTION;
}

bool isNameTaken(DWORD error) {
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

}  // namespace

bool toLocalTime(std::time_t time, std::tm& local) { return localtime_s(&local, &time) == 0; }

bool pathExists(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  // The attributes of a link are its own, so a dangling link counts as well. Anything that is
  // not plainly absent (a name in a folder that cannot be searched, say) counts as present.
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    return true;
  }
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
         error != ERROR_INVALID_NAME && error != ERROR_BAD_PATHNAME;
}

// ---------------------------------------------------------------------------------------------

struct InputFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
};

InputFile::InputFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

InputFile::~InputFile() { CloseHandle(handle_->file); }

std::unique_ptr<InputFile> InputFile::open(const std::string& path) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  // Pipes and character devices (a console, NUL) would block the run or never end.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new InputFile(std::make_unique<Handle>(Handle{file})));
}

bool InputFile::readFully(unsigned char* buffer, std::size_t size, std::size_t& count) {
  count = 0;
  while (count < size) {
    DWORD got = 0;
    if (!ReadFile(handle_->file, buffer + count, toTransferSize(size - count), &got, nullptr)) {
      return false;
    }
    if (got == 0) {
      return true;
    }
    count += got;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

// A file with a unique name beside the final one, open for writing and for its own rename, and
// shared with no one; removed unless it got the final name.
struct PendingFile::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
  std::string finalPath;
  std::string tempPath;
};

PendingFile::PendingFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

PendingFile::~PendingFile() {
  if (handle_->file != INVALID_HANDLE_VALUE) {
    CloseHandle(handle_->file);
  }
  if (!handle_->tempPath.empty()) {
    DeleteFileA(handle_->tempPath.c_str());
  }
}

std::unique_ptr<PendingFile> PendingFile::create(const std::string& finalPath, Naming /*naming*/) {
  const std::size_t start = nameStart(finalPath);
  if (start == finalPath.size() || namesAStream(finalPath)) {
    return nullptr;  // no name at all, a name that ends in a folder separator, or a stream
  }
  auto handle = std::make_unique<Handle>();
  handle->finalPath = finalPath;
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // CREATE_NEW fails on anything that exists, a link included, and never follows one.
    const std::string candidate = finalPath.substr(0, start) + "." + finalPath.substr(start) + "." +
                                  makeUniqueSuffix(GetCurrentProcessId()) + ".partial";
    handle->file = CreateFileA(candidate.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file != INVALID_HANDLE_VALUE) {
      handle->tempPath = candidate;
      return std::unique_ptr<PendingFile>(new PendingFile(std::move(handle)));
    }
    if (!isNameTaken(GetLastError())) {
      return nullptr;
    }
  }
  return nullptr;
}

bool PendingFile::write(const unsigned char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle_->file, data, toTransferSize(size), &written, nullptr)) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool PendingFile::commit() { return FlushFileBuffers(handle_->file) != 0; }

PendingFile::PublishResult PendingFile::publish() {
  Handle& file = *handle_;
  bool renamed = renameOpenFile(file.file, file.finalPath);
  DWORD error = renamed ? ERROR_SUCCESS : GetLastError();
  // The flushed file closes without losing anything; the rename has been made or refused.
  CloseHandle(file.file);
  file.file = INVALID_HANDLE_VALUE;
  if (!renamed && isUnsupported(error)) {
    // Without a rename through the handle: a move that fails on any name that exists, and that
    // returns only once the new name is on disk.
    renamed = MoveFileExA(file.tempPath.c_str(), file.finalPath.c_str(), MOVEFILE_WRITE_THROUGH);
    error = renamed ? ERROR_SUCCESS : GetLastError();
  }
  if (!renamed) {
    return isNameTaken(error) ? PublishResult::NameTaken : PublishResult::Failed;
  }
  file.tempPath.clear();
  return PublishResult::Published;
}

}  // namespace tarvik::platform
