// Fault injection for tests, loaded with LD_PRELOAD (POSIX only). It fails
// one chosen system call on one chosen file:
//   SOMNARY_FAULT       write, fsync, close, rename, open, or shortwrite
//                       (writes at most 7 bytes at a time, without an error)
//   SOMNARY_FAULT_PATH  part of the path the call must concern (required)
//   SOMNARY_FAULT_NTH   which matching call fails, from 1; 0 fails them all
//   SOMNARY_FAULT_ERRNO the error number (default: ENOSPC for write, EIO for
//                       fsync, close and rename, EACCES for open)
// Matching calls are counted per process and counting starts again when the
// settings change, so a test can set them between its own saves.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

enum TCall { cWrite, cFsync, cClose, cRename, cOpen, cShortWrite, cNone };

std::mutex gLock;
std::string gLastSettings;
long gSeen = 0;

template <typename T>
T Next(const char* name) {
  return reinterpret_cast<T>(dlsym(RTLD_NEXT, name));
}

TCall Chosen() {
  const char* call = std::getenv("SOMNARY_FAULT");
  if (!call) return cNone;
  static const char* const names[] = {"write", "fsync", "close", "rename", "open", "shortwrite"};
  for (int i = 0; i < 6; ++i)
    if (std::strcmp(call, names[i]) == 0) return static_cast<TCall>(i);
  return cNone;
}

std::string PathOf(int fd) {
  char link[64], target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// True when this call is the one to fail; errno is then set.
bool Strike(TCall call, const std::string& path, const std::string& other = {}) {
  const TCall chosen = Chosen();
  if (chosen == cNone || (chosen != call && !(chosen == cShortWrite && call == cWrite)))
    return false;
  const char* part = std::getenv("SOMNARY_FAULT_PATH");
  if (!part || !*part) return false;
  if (path.find(part) == std::string::npos && other.find(part) == std::string::npos) return false;
  const char* nth = std::getenv("SOMNARY_FAULT_NTH");
  const char* code = std::getenv("SOMNARY_FAULT_ERRNO");
  const long wanted = nth ? std::atol(nth) : 1;
  std::lock_guard<std::mutex> guard(gLock);
  const std::string settings = std::string(std::getenv("SOMNARY_FAULT")) + '|' + part + '|' +
                               (nth ? nth : "") + '|' + (code ? code : "");
  if (settings != gLastSettings) gLastSettings = settings, gSeen = 0;
  ++gSeen;
  if (wanted != 0 && gSeen != wanted) return false;
  int error = call == cWrite ? ENOSPC : call == cOpen ? EACCES : EIO;
  if (code) error = std::atoi(code);
  errno = error;
  return true;
}

bool StrikeOpen(const char* path) { return path && Strike(cOpen, path); }

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (fd > 2 && Strike(cWrite, PathOf(fd))) {
    if (Chosen() != cShortWrite) return -1;
    return real(fd, data, size < 7 ? size : 7);
  }
  return real(fd, data, size);
}

int fsync(int fd) {
  static auto real = Next<int (*)(int)>("fsync");
  if (Strike(cFsync, PathOf(fd))) return -1;
  return real(fd);
}

int fdatasync(int fd) {
  static auto real = Next<int (*)(int)>("fdatasync");
  if (Strike(cFsync, PathOf(fd))) return -1;
  return real(fd);
}

int close(int fd) {
  static auto real = Next<int (*)(int)>("close");
  if (fd > 2 && Strike(cClose, PathOf(fd))) {
    // Like a real failing close: the descriptor is gone all the same.
    const int error = errno;
    real(fd);
    errno = error;
    return -1;
  }
  return real(fd);
}

int rename(const char* from, const char* to) {
  static auto real = Next<int (*)(const char*, const char*)>("rename");
  if (Strike(cRename, from, to)) return -1;
  return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  static auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
  if (Strike(cRename, from, to)) return -1;
  return real(fromDir, from, toDir, to);
}

// The open family: mode is there only when a file may be created.
#define SOMNARY_OPEN(name, ...)                                                     \
  int name(__VA_ARGS__, int flags, ...) {                                           \
    static auto real = Next<int (*)(__VA_ARGS__, int, ...)>(#name);                 \
    va_list args;                                                                   \
    va_start(args, flags);                                                          \
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0; \
    va_end(args);                                                                   \
    if (StrikeOpen(path)) return -1;                                                \
    return SOMNARY_OPEN_CALL;                                                       \
  }
#define SOMNARY_OPEN_CALL real(path, flags, mode)
SOMNARY_OPEN(open, const char* path)
SOMNARY_OPEN(open64, const char* path)
#undef SOMNARY_OPEN_CALL
#define SOMNARY_OPEN_CALL real(dir, path, flags, mode)
SOMNARY_OPEN(openat, int dir, const char* path)
SOMNARY_OPEN(openat64, int dir, const char* path)
#undef SOMNARY_OPEN_CALL
#undef SOMNARY_OPEN

// What fortified callers use when they pass no mode.
int __open_2(const char* path, int flags) {
  static auto real = Next<int (*)(const char*, int)>("__open_2");
  if (StrikeOpen(path)) return -1;
  return real(path, flags);
}
int __open64_2(const char* path, int flags) {
  static auto real = Next<int (*)(const char*, int)>("__open64_2");
  if (StrikeOpen(path)) return -1;
  return real(path, flags);
}

}  // extern "C"
