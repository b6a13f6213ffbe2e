#include "xml/xml_functions.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

#include "xml/xml_fileSystem.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Position of the first of two adjacent blanks, or n. Texts are long and
// such pairs rare, so sixteen bytes are tested at a time.
std::size_t FindDoubleBlank(const char* p, std::size_t n) {
  std::size_t i = 0;
#ifdef __SSE2__
  if (n >= 17) {
    const __m128i blank = _mm_set1_epi8(' ');
    // Pairs starting at 16 positions from `at`; earlier blocks had none, so
    // the last block may overlap them.
    auto pairs = [&](std::size_t at) {
      const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + 1));
      return static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(here, blank), _mm_cmpeq_epi8(next, blank))));
    };
    for (; i + 17 <= n; i += 16)
      if (const unsigned found = pairs(i))
        return i + static_cast<std::size_t>(__builtin_ctz(found));
    if (i + 1 < n) {
      if (const unsigned found = pairs(n - 17))
        return n - 17 + static_cast<std::size_t>(__builtin_ctz(found));
    }
    return n;
  }
#endif
  for (; i + 1 < n; ++i)
    if (p[i] == ' ' && p[i + 1] == ' ') return i;
  return n;
}

// Hands the text to `piece` in runs that leave out every blank but the
// first of each run of blanks.
template <typename Piece>
void CollapseBlanks(const char* src, std::size_t n, Piece piece) {
  std::size_t read = 0;
  while (read < n) {
    const std::size_t pair = FindDoubleBlank(src + read, n - read);
    const std::size_t length = pair == n - read ? pair : pair + 1;
    piece(src + read, length);
    read += length;
    while (read < n && src[read] == ' ') ++read;
  }
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::size_t CopyCollapsingBlanks(char* dest, const char* src, std::size_t n) {
  std::size_t written = 0;
  CollapseBlanks(src, n, [&](const char* from, std::size_t length) {
    if (dest + written != from) std::memmove(dest + written, from, length);
    written += length;
  });
  return written;
}

void AppendNormalizedSpaces(std::string& out, std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  CollapseBlanks(text.data() + begin, end - begin,
                 [&](const char* from, std::size_t length) { out.append(from, length); });
}

std::string NormalizeSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendNormalizedSpaces(out, text);
  return out;
}

std::string UnquoteValue(std::string_view token) { return std::string(UnquoteView(token)); }

std::string_view UnquoteView(std::string_view token) {
  if (token == ">" || token == "/>" || token == "?>" || token == "!>") return {};
  if (token.empty()) return {};
  std::string_view s = token.substr(1);  // the opening quote
  if (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.size() >= 2 && (s.ends_with("/>") || s.ends_with("?>")))
    s.remove_suffix(2);
  else if (!s.empty() && s.back() == '>')
    s.remove_suffix(1);
  if (!s.empty() && s.back() == '"') s.remove_suffix(1);
  return s;
}

std::string WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
  return WriteFileAtomically(fileName, [&](const TByteSink& sink) { sink(bytes); });
}

namespace {

// A file with a second name, or an owner this process cannot give a new
// file, is overwritten where it stands. Its old bytes go to a synced backup
// ("<name>.bak") first, removed once the new text is safely on disk, kept
// when even putting the old text back failed (or the program was killed).
void OverwriteInPlace(const std::string& path,
                      const std::function<void(const TByteSink&)>& produce) {
  std::string old;
  std::string error;
  if (!ReadWholeFile(path, old, &error)) throw TXMLWriteError(error);
  std::string backup;
  for (int attempt = 0;; ++attempt) {
    backup = FreeBackupName(path);
    try {
      const xfs::THandle file = xfs::CreateNew(backup, path);
      try {
        xfs::WriteAll(file, old.data(), old.size());
      } catch (...) {
        xfs::CloseQuietly(file);
        throw;
      }
      xfs::SyncAndClose(file);
      break;
    } catch (const TXMLWriteError&) {
      xfs::RemoveQuietly(backup);
      // Another save took the same backup name in the meantime.
      if (attempt == 10 || !FileExists(backup)) throw;
    }
  }
  auto write = [&](const std::function<void(const TByteSink&)>& text) {
    const xfs::THandle file = xfs::OpenForOverwrite(path);
    std::uint64_t size = 0;
    try {
      text([&](std::string_view bytes) {
        xfs::WriteAll(file, bytes.data(), bytes.size());
        size += bytes.size();
      });
      xfs::Truncate(file, size);
    } catch (...) {
      xfs::CloseQuietly(file);
      throw;
    }
    xfs::SyncAndClose(file);
  };
  try {
    write(produce);
  } catch (const TXMLWriteError& failure) {
    try {
      write([&](const TByteSink& sink) { sink(old); });
    } catch (const TXMLWriteError&) {
      throw failure;  // the first failure is the one to report; the backup stays
    }
    xfs::RemoveQuietly(backup);
    throw;
  }
  xfs::RemoveQuietly(backup);
}

}  // namespace

std::string WriteFileAtomically(const std::string& fileName,
                                const std::function<void(const TByteSink&)>& produce) {
  if (fileName.empty()) throw TXMLWriteError("No file name");
  const xfs::TTarget target = xfs::Examine(fileName);
  xfs::RemoveStaleTemporaries(target.Path);
  std::string temporary;
  const xfs::THandle file = target.Shared ? -1 : xfs::CreateTemporary(target, temporary);
  if (file < 0) {
    OverwriteInPlace(target.Path, produce);
    return {};
  }
  try {
    produce([&](std::string_view bytes) { xfs::WriteAll(file, bytes.data(), bytes.size()); });
  } catch (...) {
    xfs::CloseQuietly(file);
    xfs::RemoveQuietly(temporary);
    throw;
  }
  try {
    xfs::SyncAndClose(file);
    xfs::Replace(temporary, target.Path);
  } catch (...) {
    xfs::RemoveQuietly(temporary);
    throw;
  }
  // The file is replaced by now: a failure here is no failed save, only a
  // rename that may not survive a power cut, which the user still hears of.
  try {
    xfs::SyncFolderOf(target.Path);
  } catch (const TXMLWriteError& error) {
    return error.what();
  }
  return {};
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string* error) {
  std::string message;
  std::uint64_t size = 0;
  bytes.clear();
  const xfs::THandle file = xfs::OpenForReading(fileName, size, message);
  bool read = file >= 0;
  if (read) {
    bytes.reserve(static_cast<std::size_t>(size));
    // Read to the end, not to the size: a file may grow while it is read,
    // though never past the limit.
    char buffer[65536];
    for (;;) {
      const std::int64_t n = xfs::ReadSome(file, buffer, sizeof buffer, message);
      if (n <= 0) {
        read = n == 0;
        break;
      }
      if (bytes.size() + static_cast<std::size_t>(n) > xfs::MaxReadSize) {
        message = std::strerror(EFBIG);
        read = false;
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    xfs::CloseQuietly(file);
  }
  if (!read) {
    bytes.clear();
    if (error) *error = message;
  }
  return read;
}

bool FileExists(const std::string& fileName) {
  return QFileInfo::exists(
      QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())));
}

void TTextHash::Add(std::string_view bytes) {
  if (bytes.empty()) return;  // its data may be null
  FLength += bytes.size();
  auto mix = [this](const char* word) {
    std::uint64_t w;
    std::memcpy(&w, word, 8);
    FState = (FState ^ w) * 0x9E3779B97F4A7C15ULL;
    FState ^= FState >> 29;
  };
  if (FCarried > 0) {
    const std::size_t take = std::min(bytes.size(), 8 - FCarried);
    std::memcpy(FCarry + FCarried, bytes.data(), take);
    FCarried += take;
    bytes.remove_prefix(take);
    if (FCarried < 8) return;
    mix(FCarry);
    FCarried = 0;
  }
  while (bytes.size() >= 8) {
    mix(bytes.data());
    bytes.remove_prefix(8);
  }
  std::memcpy(FCarry, bytes.data(), bytes.size());
  FCarried = bytes.size();
}

std::uint64_t TTextHash::Value() const {
  std::uint64_t tail = 0;
  std::memcpy(&tail, FCarry, FCarried);
  std::uint64_t h = (FState ^ tail ^ FLength) * 0xC2B2AE3D27D4EB4FULL;
  return h ^ (h >> 31);
}

std::uint64_t HashOf(std::string_view bytes) {
  TTextHash hash;
  hash.Add(bytes);
  return hash.Value();
}

std::string ConflictFileName(const std::string& fileName) {
  const std::size_t slash = fileName.rfind('/');
  const std::size_t dot = fileName.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string stem = hasExtension ? fileName.substr(0, dot) : fileName;
  const std::string extension = hasExtension ? fileName.substr(dot) : std::string();
  const std::string when =
      QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yy HH-mm")).toStdString();
  const std::string base = stem + " (конфликт " + when + ")";
  for (int n = 1;; ++n) {
    std::string candidate = base;
    if (n > 1) candidate.append(" ").append(std::to_string(n));
    candidate += extension;
    if (!FileExists(candidate)) return candidate;
  }
}

std::string FreeBackupName(const std::string& fileName) {
  for (int n = 1;; ++n) {
    std::string candidate = fileName + ".bak" + (n == 1 ? std::string() : std::to_string(n));
    if (!FileExists(candidate)) return candidate;
  }
}

std::string CanonicalFileName(const std::string& fileName) {
  const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
  if (name.isEmpty()) return {};
  QFileInfo info(name);
  QString canonical = info.canonicalFilePath();
  if (canonical.isEmpty()) {
    // Not there yet: resolve the folder if it exists, keep the name.
    QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    canonical = dir.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                              : dir + QLatin1Char('/') + info.fileName();
  }
  return canonical.toUtf8().toStdString();
}
