#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_temporaryName.h"

namespace xfs {
namespace {

[[noreturn]] void Fail(int error) { throw TXMLWriteError(std::strerror(error)); }

int Fd(THandle file) { return static_cast<int>(file); }

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

std::string BaseOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// "<name>.somnary-tmp." cut to the folder's name limit.
std::string TemporaryPrefix(const std::string& target) {
  long limit = ::pathconf(FolderOf(target).c_str(), _PC_NAME_MAX);
  if (limit <= 0) limit = NAME_MAX;
  return temporary::Prefix(BaseOf(target), static_cast<std::size_t>(limit));
}

constexpr std::size_t kHugePage = std::size_t(2) << 20;

bool ProcessIsGone(long pid) {
  return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

TTarget Examine(const std::string& name) {
  TTarget target;
  target.Path = name;
  // A link is followed to its end; a relative link is read from its own folder.
  for (int hops = 0;; ++hops) {
    struct stat info;
    if (::lstat(target.Path.c_str(), &info) != 0) {
      if (errno == ENOENT) return target;
      Fail(errno);
    }
    if (S_ISLNK(info.st_mode)) {
      if (hops == 40) Fail(ELOOP);
      char buffer[PATH_MAX];
      const ssize_t n = ::readlink(target.Path.c_str(), buffer, sizeof buffer - 1);
      if (n < 0) Fail(errno);
      const std::string link(buffer, static_cast<std::size_t>(n));
      target.Path = link.starts_with('/') ? link : FolderOf(target.Path) + '/' + link;
      continue;
    }
    if (S_ISDIR(info.st_mode)) Fail(EISDIR);
    // A device or a pipe cannot be replaced by a file of the same name.
    if (!S_ISREG(info.st_mode)) Fail(EINVAL);
    target.Exists = true;
    target.Shared = info.st_nlink > 1;
    break;
  }
  // A file its owner made read-only stays untouched, as the folder's
  // permissions alone would let a rename replace it.
  if (::faccessat(AT_FDCWD, target.Path.c_str(), W_OK, AT_EACCESS) != 0) Fail(errno);
  return target;
}

THandle CreateTemporary(const TTarget& target, std::string& name) {
  const std::string prefix =
      FolderOf(target.Path) + '/' + TemporaryPrefix(target.Path) + std::to_string(::getpid()) + '.';
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    name = prefix + temporary::RandomPart();
    do fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) Fail(errno);
  }
  struct stat old;
  if (!target.Exists || ::stat(target.Path.c_str(), &old) != 0) return fd;
  // Owner and group first: changing them clears set-id bits of the mode.
  if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
    if (::fchown(fd, old.st_uid == ::geteuid() ? static_cast<uid_t>(-1) : old.st_uid, old.st_gid) !=
        0) {
      ::close(fd);
      ::unlink(name.c_str());
      return -1;
    }
  }
  // A journal kept private stays private when it is replaced.
  ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = TemporaryPrefix(target);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view entryName(entry->d_name);
    if (!entryName.starts_with(prefix)) continue;
    const std::string rest(entryName.substr(prefix.size()));
    char* end = nullptr;
    const long pid = std::strtol(rest.c_str(), &end, 10);
    if (end == rest.c_str() || *end != '.') continue;
    if (pid != ::getpid() && ProcessIsGone(pid)) ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

THandle CreateNew(const std::string& name, const std::string& likeFile) {
  int fd;
  do fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) Fail(errno);
  struct stat old;
  if (::stat(likeFile.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

THandle OpenForOverwrite(const std::string& name) {
  int fd;
  do fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) Fail(errno);
  return fd;
}

void Truncate(THandle file, std::uint64_t size) {
  int result;
  do result = ::ftruncate(Fd(file), static_cast<off_t>(size));
  while (result != 0 && errno == EINTR);
  if (result != 0) Fail(errno);
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

THandle OpenForReading(const std::string& name, std::uint64_t& size, std::string& error) {
  // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
  int fd;
  do fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = std::strerror(errno);
    return -1;
  }
  struct stat info;
  int refused = 0;
  if (::fstat(fd, &info) != 0)
    refused = errno;
  else if (S_ISDIR(info.st_mode))
    refused = EISDIR;
  else if (!S_ISREG(info.st_mode))
    refused = EINVAL;
  else if (static_cast<std::uint64_t>(info.st_size) > MaxReadSize)
    refused = EFBIG;
  if (refused) {
    ::close(fd);
    error = std::strerror(refused);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  size = static_cast<std::uint64_t>(info.st_size);
  return fd;
}

std::int64_t ReadSome(THandle file, char* data, std::size_t size, std::string& error) {
  ssize_t n;
  do n = ::read(Fd(file), data, size);
  while (n < 0 && errno == EINTR);
  if (n < 0) error = std::strerror(errno);
  return n;
}

TIdentity IdentityOf(const std::string& name) {
  TIdentity identity;
  struct stat info;
  if (::stat(name.c_str(), &info) != 0) return identity;
  identity.Exists = true;
  identity.Size = static_cast<std::uint64_t>(info.st_size);
  identity.Inode = static_cast<std::uint64_t>(info.st_ino);
  identity.Device = static_cast<std::uint64_t>(info.st_dev);
  identity.ModifiedNs =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return identity;
}

TPresence Presence(const std::string& name, std::string& error) {
  struct stat info;
  if (::stat(name.c_str(), &info) == 0) return TPresence::Present;
  if (errno == ENOENT || errno == ENOTDIR) return TPresence::Missing;
  error = std::strerror(errno);
  return TPresence::Unknown;
}

char* MapPages(std::size_t& length) {
  length = (length + kHugePage - 1) / kHugePage * kHugePage;
  void* pages =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
  char* start = static_cast<char*>(pages);
  char* aligned =
      start + (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
  if (aligned > start) munmap(start, static_cast<std::size_t>(aligned - start));
  if (char* end = start + length + kHugePage; end > aligned + length)
    munmap(aligned + length, static_cast<std::size_t>(end - aligned) - length);
#ifdef MADV_HUGEPAGE
  madvise(aligned, length, MADV_HUGEPAGE);
#endif
  return aligned;
}

void UnmapPages(char* data, std::size_t length) { munmap(data, length); }

void ReleasePages(char* data, std::size_t length) {
  static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const auto at = reinterpret_cast<std::uintptr_t>(data);
  const std::size_t skip = (page - at % page) % page;
  if (length <= skip) return;
  const std::size_t whole = (length - skip) / page * page;
  if (whole) madvise(data + skip, whole, MADV_DONTNEED);
}

}  // namespace xfs
