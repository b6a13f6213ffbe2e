#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the atomic writer, the reader and the pages of big texts need from
// the system, one implementation per platform (xml_fileSystem_posix.cpp,
// xml_fileSystem_windows.cpp). Failures throw TXMLWriteError with the system's
// message. File names are UTF-8 on every system: Windows takes them as
// UTF-16, which the code page's bytes could not always give.
namespace xfs {

using THandle = std::intptr_t;

// The file a save really replaces.
struct TTarget {
  // The name given, with symbolic links followed to the file they lead to,
  // so a link into another folder keeps pointing at the saved file.
  std::string Path;
  bool Exists = false;
  // The file has another name (a hard link) that a rename would leave
  // holding the old bytes: it must be overwritten where it is.
  bool Shared = false;
};

// Follows links and checks that the file may be written; throws with the
// system's reason (a read-only file, a folder, ...) when it may not.
TTarget Examine(const std::string& name);

// Creates a temporary of this save's own beside `target`, short enough for
// the folder's name limit, with the mode, owner and group of the target when
// it exists. `name` receives its name. Returns -1 without creating anything
// when the owner cannot be kept (only a write in place keeps it then).
THandle CreateTemporary(const TTarget& target, std::string& name);
// Removes the temporaries of saves of `target` whose process is gone; a
// temporary of a running save, in this or another process, is left alone.
void RemoveStaleTemporaries(const std::string& target);

// Creates a file that must not exist yet, for writing only, with the
// permissions of `likeFile` when that exists.
THandle CreateNew(const std::string& name, const std::string& likeFile);
// Opens an existing file for overwriting where it stands.
THandle OpenForOverwrite(const std::string& name);
// Cuts the file to `size` bytes.
void Truncate(THandle file, std::uint64_t size);
// Writes all bytes, going on after short writes and interruptions.
void WriteAll(THandle file, const char* data, std::size_t size);
// Flushes the file to the device and closes it; closes it also when the
// flush fails.
void SyncAndClose(THandle file);
// For paths that already failed: closes without reporting.
void CloseQuietly(THandle file);
// Puts `from` in the place of `to` in one step.
void Replace(const std::string& from, const std::string& to);
// Makes the folder's latest renames survive a power cut.
void SyncFolderOf(const std::string& name);
void RemoveQuietly(const std::string& name);

// The most a read takes: a larger file is refused rather than filling memory.
constexpr std::uint64_t MaxReadSize = std::uint64_t(2) << 30;
// Opens a file for reading without waiting on it: a pipe, a device or a
// folder is refused, and so is a file larger than MaxReadSize. -1 with the
// system's message in `error` on failure; `size` gets the size it has now.
THandle OpenForReading(const std::string& name, std::uint64_t& size, std::string& error);
// Reads up to `size` bytes, going on after interruptions: the count read
// (0 at the end), or -1 with the system's message.
std::int64_t ReadSome(THandle file, char* data, std::size_t size, std::string& error);

// What a file is on the disk, to tell whether someone else wrote it since.
struct TIdentity {
  bool Exists = false;
  std::uint64_t Size = 0, Inode = 0, Device = 0;
  std::int64_t ModifiedNs = 0;
  bool operator==(const TIdentity&) const = default;
};
TIdentity IdentityOf(const std::string& name);

enum class TPresence { Missing, Present, Unknown };
// Whether a file is there; Unknown (with the system's message) when even
// that cannot be found out.
TPresence Presence(const std::string& name, std::string& error);

// Memory of whole pages, aligned to a huge page where the system has them
// so that a big text costs few page faults; length is rounded up to whole
// pages. Null when the system gives none.
char* MapPages(std::size_t& length);
void UnmapPages(char* data, std::size_t length);
// Gives the whole pages inside [data, data + length) of a mapping back to
// the system; their bytes are not kept.
void ReleasePages(char* data, std::size_t length);

}  // namespace xfs
