#include "hostsdk/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <utility>

#include "hostsdk/FileContent.h"
#include "hostsdk/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace hostsdk {

namespace {

std::system_error FileError(std::error_code error, const std::string& what,
                            const std::filesystem::path& path) {
  return std::system_error(error, what + " \"" + Utf8FromPath(path) + "\"");
}

uint64_t ProcessNumber() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<uint64_t>(getpid());
#endif
}

// A name in the folder of `target` that no other writer in this process
// (counter) or another process (process id) picks; files are created
// exclusively, so a clash with a stray file only moves on to the next name.
std::filesystem::path TempNameBeside(const std::filesystem::path& target) {
  static std::atomic<uint64_t> counter{0};
  std::filesystem::path name = target;
  name += ".~" + std::to_string(ProcessNumber()) + "-" + std::to_string(++counter) + ".tmp";
  return name;
}

#ifdef _WIN32
std::error_code LastError() {
  return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Closing can report a failed write of cached data; it is checked.
  bool Close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

 private:
  HANDLE handle_;
};

// False with `error` set when the file already exists or cannot be made.
bool CreateNewFile(const std::filesystem::path& path, std::string_view bytes,
                   DWORD attributes, std::error_code& error) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              attributes, nullptr));
  if (!file.Valid()) {
    error = LastError();
    return false;
  }
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr)) {
      error = LastError();
      return false;
    }
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.Get()) || !file.Close()) {
    error = LastError();
    return false;
  }
  return true;
}

DWORD AttributesToKeep(const std::filesystem::path& target) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return FILE_ATTRIBUTE_NORMAL;
  const DWORD kept = attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  return kept ? kept : FILE_ATTRIBUTE_NORMAL;
}

bool IsCrossDevice(const std::error_code& error) {
  return error.value() == ERROR_NOT_SAME_DEVICE;
}

bool AlreadyExists(const std::error_code& error) {
  return error.value() == ERROR_FILE_EXISTS || error.value() == ERROR_ALREADY_EXISTS;
}

bool MoveOver(const std::filesystem::path& source, const std::filesystem::path& target,
              std::error_code& error) {
  if (MoveFileExW(source.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  error = LastError();
  return false;
}
#else
std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (Valid()) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  bool Valid() const { return fd_ >= 0; }
  int Get() const { return fd_; }
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes, std::error_code& error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error = LastError();
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// False with `error` set when the file already exists or cannot be made.
bool CreateNewFile(const std::filesystem::path& path, std::string_view bytes, mode_t mode,
                   std::error_code& error) {
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!file.Valid()) {
    error = LastError();
    return false;
  }
  if ((mode != 0 && ::fchmod(file.Get(), mode) != 0) || !WriteAll(file.Get(), bytes, error) ||
      ::fsync(file.Get()) != 0 || !file.Close()) {
    if (!error) error = LastError();
    return false;
  }
  return true;
}

// The permission bits of an existing target, 0 for none (keep the default).
mode_t AttributesToKeep(const std::filesystem::path& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  return info.st_mode & 07777;
}

bool IsCrossDevice(const std::error_code& error) { return error.value() == EXDEV; }

bool AlreadyExists(const std::error_code& error) { return error.value() == EEXIST; }

// Makes a finished rename survive a crash too: the folder entry is flushed.
void FlushFolder(const std::filesystem::path& folder) {
  const char* name = folder.empty() ? "." : folder.c_str();
  FileDescriptor dir(::open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Valid()) ::fsync(dir.Get());
}

bool MoveOver(const std::filesystem::path& source, const std::filesystem::path& target,
              std::error_code& error) {
  if (::rename(source.c_str(), target.c_str()) != 0) {
    error = LastError();
    return false;
  }
  FlushFolder(target.parent_path());
  return true;
}
#endif

}  // namespace

std::filesystem::path WriteLocation(const std::filesystem::path& target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
  return error ? target : resolved;
}

std::filesystem::path WriteTempFileBeside(const std::filesystem::path& target,
                                          std::string_view bytes) {
  const auto attributes = AttributesToKeep(target);
  constexpr int kAttempts = 100;
  std::error_code error;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::filesystem::path temp = TempNameBeside(target);
    error.clear();
    if (CreateNewFile(temp, bytes, attributes, error)) return temp;
    if (AlreadyExists(error)) continue;
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw FileError(error, "cannot write the temporary file", temp);
  }
  throw FileError(error, "cannot find a free temporary name beside", target);
}

bool ReplaceFile(const std::filesystem::path& source, const std::filesystem::path& target,
                 std::error_code& error) {
  error.clear();
  if (MoveOver(source, target, error)) return true;
  if (!IsCrossDevice(error)) return false;
  // No single step crosses file systems: make a copy on the target's file
  // system first, then swap that in.
  const std::optional<std::string> content = ReadFileContent(source);
  if (!content) return false;  // `error` still says why the move failed
  std::filesystem::path copy;
  try {
    copy = WriteTempFileBeside(target, *content);
  } catch (const std::system_error& failure) {
    error = failure.code();
    return false;
  }
  if (!MoveOver(copy, target, error)) {
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    return false;
  }
  std::error_code ignored;
  std::filesystem::remove(source, ignored);
  return true;
}

}  // namespace hostsdk
