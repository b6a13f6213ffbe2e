#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "xml/xml_faultSeam_windows.h"
#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_temporaryName.h"

namespace xfs {
namespace {

using seam::TCall;

// ERROR_DIRECTORY_NOT_SUPPORTED, which older headers lack.
constexpr DWORD kIsFolder = 336;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle is a pointer-sized number; INVALID_HANDLE_VALUE is -1.
HANDLE Win(THandle file) {
  return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr)
}
THandle Own(HANDLE file) { return reinterpret_cast<THandle>(file); }

std::string Utf8(const wchar_t* text, std::size_t size) {
  if (size == 0) return {};
  const int length = static_cast<int>(size);
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

// The system's message in the user's language, without the line break
// and the full stop that strerror's messages do not have either.
std::string Message(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  // A system without text for the newer folder error says what it says
  // when a folder is opened as a file.
  if (!n && error == kIsFolder) return Message(ERROR_ACCESS_DENIED);
  std::string message = n ? Utf8(text, n) : "Error " + std::to_string(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message;
}

[[noreturn]] void Fail(DWORD error) { throw TXMLWriteError(Message(error)); }

// UTF-16 for the system; a long name gets the prefix that lifts MAX_PATH.
// False, with the system's error set, when the bytes are not UTF-8.
bool ToWide(const std::string& name, std::wstring& wide) {
  wide.clear();
  if (name.empty()) return true;
  const int size = static_cast<int>(name.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, nullptr, 0);
  if (n <= 0) return false;
  wide.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), size, wide.data(), n);
  if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\"))
    return true;
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (got == 0 || got >= length) return true;
  full.resize(got);
  wide = full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
  return true;
}

std::wstring Wide(const std::string& name) {
  std::wstring wide;
  if (!ToWide(name, wide)) Fail(GetLastError());
  return wide;
}

// Where a handle's file really is, as Qt writes paths: no "\\?\", '/'.
std::string FinalPath(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(n);
  }
  if (path.starts_with(L"\\\\?\\UNC\\"))
    path = L"\\\\" + path.substr(8);
  else if (path.starts_with(L"\\\\?\\"))
    path = path.substr(4);
  std::string narrow = Utf8(path.data(), path.size());
  std::replace(narrow.begin(), narrow.end(), '\\', '/');
  return narrow;
}

// The calls the tests may make fail; each is the system's call otherwise.
DWORD FaultOn(TCall call, HANDLE file) {
  return seam::Armed() ? seam::Fault(call, FinalPath(file)) : 0;
}

HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition,
            DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  if (const DWORD fault = seam::Armed() ? seam::Fault(TCall::Open, name) : 0) {
    SetLastError(fault);
    return INVALID_HANDLE_VALUE;
  }
  std::wstring wide;
  if (!ToWide(name, wide)) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

BOOL Write(HANDLE file, const char* data, DWORD size, DWORD& written) {
  if (const DWORD fault = FaultOn(TCall::Write, file)) {
    if (fault != seam::kShortWrite) {
      SetLastError(fault);
      return FALSE;
    }
    size = std::min<DWORD>(size, 7);
  }
  return WriteFile(file, data, size, &written, nullptr);
}

BOOL Flush(HANDLE file) {
  if (const DWORD fault = FaultOn(TCall::Flush, file)) {
    SetLastError(fault);
    return FALSE;
  }
  return FlushFileBuffers(file);
}

BOOL Close(HANDLE file) {
  const DWORD fault = FaultOn(TCall::Close, file);
  // Like a real failing close: the handle is gone all the same.
  const BOOL closed = CloseHandle(file);
  if (fault) SetLastError(fault);
  return closed && !fault;
}

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

std::string BaseOf(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// What NTFS, FAT and exFAT allow for a name, in UTF-16 units; a UTF-8 byte
// count is never below the UTF-16 one.
constexpr std::size_t kNameMax = 255;

std::string TemporaryPrefix(const std::string& target) {
  return temporary::Prefix(BaseOf(target), kNameMax);
}

bool ProcessIsGone(unsigned long pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  // Access denied: a process of another user, running.
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool gone = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return gone;
}

// A journal kept private keeps its own access list in its backup; the
// entries it inherits come from the folder again.
void CopyAccessList(HANDLE file, const std::string& likeFile) {
  std::wstring like;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ToWide(likeFile, like) ||
      GetNamedSecurityInfoW(like.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                     : UNPROTECTED_DACL_SECURITY_INFORMATION);
  SetSecurityInfo(file, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
  LocalFree(descriptor);
}

bool Transient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

}  // namespace

TTarget Examine(const std::string& name) {
  TTarget target;
  target.Path = name;
  // Opening follows symbolic links and junctions to the file at their end.
  HANDLE file = CreateFileW(Wide(name).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return target;
    Fail(error);
  }
  // A device or a pipe cannot be replaced by a file of the same name.
  DWORD refused = GetFileType(file) == FILE_TYPE_DISK ? 0 : ERROR_INVALID_PARAMETER;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!refused && !GetFileInformationByHandle(file, &info)) refused = GetLastError();
  if (!refused && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) refused = kIsFolder;
  if (!refused) {
    if (std::string final = FinalPath(file); !final.empty()) target.Path = std::move(final);
  }
  CloseHandle(file);
  if (refused) Fail(refused);
  target.Exists = true;
  target.Shared = info.nNumberOfLinks > 1;
  // A file its owner made read-only stays untouched, as a rename would
  // otherwise replace it.
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) Fail(ERROR_ACCESS_DENIED);
  return target;
}

THandle CreateTemporary(const TTarget& target, std::string& name) {
  const std::string prefix = FolderOf(target.Path) + '/' + TemporaryPrefix(target.Path) +
                             std::to_string(GetCurrentProcessId()) + '.';
  // The owner and the access list need no copy: ReplaceFileW keeps the
  // old file's.
  for (int attempt = 0;; ++attempt) {
    name = prefix + temporary::RandomPart();
    HANDLE file = Open(name, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE) return Own(file);
    const DWORD error = GetLastError();
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100)
      Fail(error);
  }
}

void RemoveStaleTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = TemporaryPrefix(target);
  std::wstring pattern;
  if (!ToWide(folder + '/' + prefix + '*', pattern)) return;
  WIN32_FIND_DATAW entry;
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // The pattern matches short 8.3 names too: the long one decides.
    const std::string entryName = Utf8(entry.cFileName, wcslen(entry.cFileName));
    if (!entryName.starts_with(prefix)) continue;
    const std::string rest = entryName.substr(prefix.size());
    char* end = nullptr;
    const unsigned long pid = std::strtoul(rest.c_str(), &end, 10);
    if (end == rest.c_str() || *end != '.') continue;
    if (pid != GetCurrentProcessId() && ProcessIsGone(pid)) RemoveQuietly(folder + '/' + entryName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

THandle CreateNew(const std::string& name, const std::string& likeFile) {
  HANDLE file = Open(name, GENERIC_WRITE | WRITE_DAC, FILE_SHARE_READ, CREATE_NEW);
  if (file == INVALID_HANDLE_VALUE) Fail(GetLastError());
  CopyAccessList(file, likeFile);
  return Own(file);
}

THandle OpenForOverwrite(const std::string& name) {
  HANDLE file = Open(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) Fail(GetLastError());
  return Own(file);
}

void Truncate(THandle file, std::uint64_t size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(Win(file), at, nullptr, FILE_BEGIN) || !SetEndOfFile(Win(file)))
    Fail(GetLastError());
}

void WriteAll(THandle file, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, DWORD(1) << 30));
    if (!Write(Win(file), data, chunk, written)) Fail(GetLastError());
    // A device that takes nothing and reports no error would loop for ever.
    if (written == 0) Fail(ERROR_DISK_FULL);
    data += written;
    size -= written;
  }
}

void SyncAndClose(THandle file) {
  DWORD error = 0;
  if (!Flush(Win(file))) error = GetLastError();
  if (!Close(Win(file)) && error == 0) error = GetLastError();
  if (error) Fail(error);
}

void CloseQuietly(THandle file) { Close(Win(file)); }

void Replace(const std::string& from, const std::string& to) {
  if (const DWORD fault = seam::Armed() ? seam::Fault(TCall::Replace, from, to) : 0) Fail(fault);
  const std::wstring source = Wide(from), destination = Wide(to);
  // An antivirus or the search indexer may hold the file for a moment:
  // up to a second in small steps.
  for (int attempt = 0;; ++attempt) {
    DWORD error = ERROR_SUCCESS;
    if (GetFileAttributesW(destination.c_str()) != INVALID_FILE_ATTRIBUTES) {
      // Keeps the old file's attributes, access list and creation time.
      if (ReplaceFileW(destination.c_str(), source.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr))
        return;
      error = GetLastError();
    }
    // No old file (any more), a file system without ReplaceFileW, or the
    // old file gone and the new one left under its own name: a rename.
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_NOT_SUPPORTED ||
        error == ERROR_INVALID_FUNCTION || error == ERROR_INVALID_PARAMETER) {
      if (MoveFileExW(source.c_str(), destination.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return;
      error = GetLastError();
    }
    if (!Transient(error) || attempt == 20) Fail(error);
    Sleep(50);
  }
}

// Windows cannot flush a folder: MOVEFILE_WRITE_THROUGH and the NTFS
// journal carry the rename to the disk.
void SyncFolderOf(const std::string&) {}

void RemoveQuietly(const std::string& name) {
  std::wstring wide;
  if (ToWide(name, wide)) DeleteFileW(wide.c_str());
}

THandle OpenForReading(const std::string& name, std::uint64_t& size, std::string& error) {
  std::wstring wide;
  if (!ToWide(name, wide)) {
    error = Message(GetLastError());
    return -1;
  }
  // Opening a folder as a file says only "access denied".
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error = Message(kIsFolder);
    return -1;
  }
  // Shared every way, so that another program's save is not blocked.
  HANDLE file = Open(name, GENERIC_READ, kShareAll, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (file == INVALID_HANDLE_VALUE) {
    error = Message(GetLastError());
    return -1;
  }
  DWORD refused = 0;
  LARGE_INTEGER length{};
  if (GetFileType(file) != FILE_TYPE_DISK)
    refused = ERROR_INVALID_PARAMETER;
  else if (!GetFileSizeEx(file, &length))
    refused = GetLastError();
  else if (static_cast<std::uint64_t>(length.QuadPart) > MaxReadSize)
    refused = ERROR_FILE_TOO_LARGE;
  if (refused) {
    Close(file);
    error = Message(refused);
    return -1;
  }
  size = static_cast<std::uint64_t>(length.QuadPart);
  return Own(file);
}

std::int64_t ReadSome(THandle file, char* data, std::size_t size, std::string& error) {
  DWORD got = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, DWORD(1) << 30));
  if (ReadFile(Win(file), data, chunk, &got, nullptr)) return got;
  const DWORD failure = GetLastError();
  if (failure == ERROR_HANDLE_EOF || failure == ERROR_BROKEN_PIPE) return 0;
  error = Message(failure);
  return -1;
}

TIdentity IdentityOf(const std::string& name) {
  TIdentity identity;
  std::wstring wide;
  if (!ToWide(name, wide)) return identity;
  HANDLE file = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return identity;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!known) return identity;
  auto wide64 = [](DWORD high, DWORD low) { return std::uint64_t(high) << 32 | low; };
  identity.Exists = true;
  identity.Size = wide64(info.nFileSizeHigh, info.nFileSizeLow);
  identity.Inode = wide64(info.nFileIndexHigh, info.nFileIndexLow);
  identity.Device = info.dwVolumeSerialNumber;
  // 100 ns ticks since 1601; nanoseconds since 1970 as on POSIX.
  const std::uint64_t ticks =
      wide64(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  identity.ModifiedNs = (static_cast<std::int64_t>(ticks) - 116444736000000000) * 100;
  return identity;
}

TPresence Presence(const std::string& name, std::string& error) {
  std::wstring wide;
  if (ToWide(name, wide) && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
    return TPresence::Present;
  const DWORD failure = GetLastError();
  if (failure == ERROR_FILE_NOT_FOUND || failure == ERROR_PATH_NOT_FOUND) return TPresence::Missing;
  error = Message(failure);
  return TPresence::Unknown;
}

char* MapPages(std::size_t& length) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  // Large pages need a privilege users do not have: ordinary ones.
  length = (length + page - 1) / page * page;
  return static_cast<char*>(
      VirtualAlloc(nullptr, length, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void UnmapPages(char* data, std::size_t) { VirtualFree(data, 0, MEM_RELEASE); }

void ReleasePages(char* data, std::size_t length) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  const std::size_t skip = (page - reinterpret_cast<std::uintptr_t>(data) % page) % page;
  if (length <= skip) return;
  const std::size_t whole = (length - skip) / page * page;
  if (whole) VirtualAlloc(data + skip, whole, MEM_RESET, PAGE_READWRITE);
}

}  // namespace xfs
