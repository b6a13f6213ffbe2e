#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"

namespace xfs {
namespace {

[[noreturn]] void Fail(int error) { throw TXMLWriteError(std::strerror(error)); }

int Fd(THandle file) { return static_cast<int>(file); }

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

}  // namespace

THandle CreateNew(const std::string& name, const std::string& likeFile) {
  int fd;
  do fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) Fail(errno);
  // A journal kept private stays private when it is replaced.
  struct stat old;
  if (::stat(likeFile.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

void WriteAll(THandle file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(Fd(file), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(errno);
    // A device that takes nothing and reports no error would loop for ever.
    if (n == 0) Fail(ENOSPC);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void SyncAndClose(THandle file) {
  int error = 0;
  if (::fsync(Fd(file)) != 0) error = errno;
  // close is not retried after EINTR: the descriptor is gone either way.
  if (::close(Fd(file)) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error) Fail(error);
}

void CloseQuietly(THandle file) { ::close(Fd(file)); }

void Replace(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) Fail(errno);
}

void SyncFolderOf(const std::string& name) {
  const int fd = ::open(FolderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail(errno);
  int error = 0;
  // Some file systems cannot sync a folder; they say so with EINVAL.
  if (::fsync(fd) != 0 && errno != EINVAL) error = errno;
  ::close(fd);
  if (error) Fail(error);
}

void RemoveQuietly(const std::string& name) { ::unlink(name.c_str()); }

TPresence Presence(const std::string& name, std::string& error) {
  struct stat info;
  if (::stat(name.c_str(), &info) == 0) return TPresence::Present;
  if (errno == ENOENT || errno == ENOTDIR) return TPresence::Missing;
  error = std::strerror(errno);
  return TPresence::Unknown;
}

}  // namespace xfs
