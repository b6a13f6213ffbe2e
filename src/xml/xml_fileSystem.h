#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the atomic writer and the reader need from the system, one
// implementation per platform (xml_fileSystem_posix.cpp here; a Windows
// build supplies its own). Failures throw TXMLWriteError with the system's
// message.
namespace xfs {

using THandle = std::intptr_t;

// Creates a file that must not exist yet, for writing only, with the
// permissions of `likeFile` when that exists.
THandle CreateNew(const std::string& name, const std::string& likeFile);
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

enum class TPresence { Missing, Present, Unknown };
// Whether a file is there; Unknown (with the system's message) when even
// that cannot be found out.
TPresence Presence(const std::string& name, std::string& error);

}  // namespace xfs
