#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

// Trims characters with codes up to 32 at both ends, then collapses each run
// of blanks (code 32 only) inside to one blank. Other control characters stay.
std::string NormalizeSpaces(std::string_view text);
// Appends NormalizeSpaces(text) to out, without a string of its own.
void AppendNormalizedSpaces(std::string& out, std::string_view text);
// Copies n bytes from src to dest with each run of blanks (code 32)
// collapsed to one; returns the number written. dest may lie before src in
// the same buffer (the ranges may overlap), never after it.
std::size_t CopyCollapsingBlanks(char* dest, const char* src, std::size_t n);

// Turns a raw attribute token (value with its opening quote, closing quote,
// an optional ">", "/>" or "?>" and a trailing blank) into the bare value.
std::string UnquoteValue(std::string_view token);
// The same value as a slice of the token.
std::string_view UnquoteView(std::string_view token);

// The one error type of writing files: carries the system's message.
class TXMLWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the file atomically: the bytes go to a temporary of this save's
// own beside it ("<name>.somnary-tmp.<process>.<random>"), every write, the
// sync and the close are checked, and only then is it renamed over the
// target and the folder synced. A symbolic link keeps leading to the saved
// file; a file with a second hard link is overwritten in place after a
// backup; a read-only file is refused. On any failure before the
// rename the old file stays as it was byte for byte; every failure throws
// TXMLWriteError with the system's message.
// Returns empty, or the system's reason why the folder could not be synced
// after the rename: the save is done but may not survive a power cut.
std::string WriteFileAtomically(const std::string& fileName, std::string_view bytes);

// Receives the next piece of a file's text; throws TXMLWriteError when it
// cannot be written.
using TByteSink = std::function<void(std::string_view)>;
// The same for a text produced piece by piece: `produce` hands every piece
// to the sink in order, so the whole text never has to be in memory at once.
std::string WriteFileAtomically(const std::string& fileName,
                                const std::function<void(const TByteSink&)>& produce);

// Reads a whole file. False when it cannot be opened or read; `error` then
// gets the system's message.
bool ReadWholeFile(const std::string& fileName, std::string& bytes, std::string* error = nullptr);

bool FileExists(const std::string& fileName);

// A fast 64-bit hash of bytes handed over in pieces; the same bytes give the
// same value however they are cut.
class TTextHash {
 public:
  void Add(std::string_view bytes);
  std::uint64_t Value() const;

 private:
  std::uint64_t FState = 0x243F6A8885A308D3ULL;
  std::uint64_t FLength = 0;
  char FCarry[8] = {};
  std::size_t FCarried = 0;
};
std::uint64_t HashOf(std::string_view bytes);

// Where the program's version of a file goes when someone else changed the
// file since it was read: "<name> (конфликт ДД.ММ.ГГ ЧЧ-ММ).<ext>" beside
// it, with " 2", " 3", ... added when that is taken.
std::string ConflictFileName(const std::string& fileName);

// "<name>.bak", or ".bak2", ".bak3", ... when taken: a backup is never overwritten.
std::string FreeBackupName(const std::string& fileName);

// Canonical form of a path for identity comparisons: the resolved absolute
// path when the file exists, else the cleaned absolute path.
std::string CanonicalFileName(const std::string& fileName);
