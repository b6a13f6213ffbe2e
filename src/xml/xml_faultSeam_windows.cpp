// For tests only: the fault shim's variables, read by the Windows file layer.
#include "xml/xml_faultSeam_windows.h"

#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <mutex>

namespace xfs::seam {
namespace {

std::mutex gLock;
std::wstring gLastSettings;
long gSeen = 0;

// Tests set the variables while the process runs: read them each time.
std::wstring Variable(const wchar_t* name) {
  std::wstring value(64, L'\0');
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n < value.size()) {
      value.resize(n);
      return value;
    }
    value.resize(n);
  }
}

std::string Narrow(const std::wstring& text) {
  std::string narrow(text.size() * 3, '\0');
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          static_cast<int>(narrow.size()), nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return narrow;
}

// The tests name POSIX error numbers; the message is the system's for the
// nearest Windows error.
unsigned long WindowsError(long error) {
  switch (error) {
    case ENOSPC:
      return ERROR_DISK_FULL;
    case EIO:
      return ERROR_IO_DEVICE;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    case EROFS:
      return ERROR_WRITE_PROTECT;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace

bool Armed() { return GetEnvironmentVariableW(L"SOMNARY_FAULT", nullptr, 0) != 0; }

unsigned long Fault(TCall call, const std::string& path, const std::string& other) {
  static const wchar_t* const names[] = {L"write", L"fsync", L"close", L"rename", L"open"};
  const std::wstring chosen = Variable(L"SOMNARY_FAULT");
  const bool shortWrite = chosen == L"shortwrite";
  if (chosen != names[static_cast<int>(call)] && !(shortWrite && call == TCall::Write)) return 0;
  const std::wstring part = Variable(L"SOMNARY_FAULT_PATH");
  const std::string narrowPart = Narrow(part);
  if (part.empty() ||
      (path.find(narrowPart) == std::string::npos && other.find(narrowPart) == std::string::npos))
    return 0;
  const std::wstring nth = Variable(L"SOMNARY_FAULT_NTH"), code = Variable(L"SOMNARY_FAULT_ERRNO");
  const long wanted = nth.empty() ? 1 : std::wcstol(nth.c_str(), nullptr, 10);
  std::lock_guard<std::mutex> guard(gLock);
  // Counting starts again when a test changes the settings.
  const std::wstring settings = chosen + L'|' + part + L'|' + nth + L'|' + code;
  if (settings != gLastSettings) gLastSettings = settings, gSeen = 0;
  ++gSeen;
  if (wanted != 0 && gSeen != wanted) return 0;
  if (shortWrite) return kShortWrite;
  if (!code.empty()) return WindowsError(std::wcstol(code.c_str(), nullptr, 10));
  return call == TCall::Write  ? ERROR_DISK_FULL
         : call == TCall::Open ? ERROR_ACCESS_DENIED
                               : ERROR_IO_DEVICE;
}

}  // namespace xfs::seam
