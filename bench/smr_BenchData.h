#pragma once

// Deterministic test data for the benchmarks: journals and a library that
// look like years of real diary keeping, built as document trees and
// written by the program's own writer, so the files are exactly what the
// program itself would produce.
#include <cstdint>
#include <string>
#include <vector>

class TXMLParser;

// Base seed of every generated file; a journal of n experiences uses
// kBenchSeed + n, so the harness and the writing tool make the same file.
inline constexpr std::uint64_t kBenchSeed = 20260211;

// A small, fixed pseudo-random sequence (splitmix64): the same seed gives the
// same files on every machine and standard library.
class TBenchRandom {
 public:
  explicit TBenchRandom(std::uint64_t seed) : FState(seed) {}
  std::uint64_t Next();
  // Uniform in [low, high].
  int Range(int low, int high);
  // True with the given chance in percent.
  bool Chance(int percent) { return Range(0, 99) < percent; }

 private:
  std::uint64_t FState;
};

// Fills a fresh document with a journal of that many experiences: nights of
// one to four experiences, Russian titles, descriptions of a few hundred to a
// few thousand characters (some of several lines), comments, images, marks,
// energy and grouped dream properties.
void MakeJournal(TXMLParser& document, int experiences, std::uint64_t seed);

// Writes a journal file; returns its size in bytes.
std::uint64_t WriteJournal(const std::string& fileName, int experiences, std::uint64_t seed);

struct TBenchLibrary {
  std::string LibraryFile;
  std::vector<std::string> JournalFiles;  // in the order of the library's `file` elements
};

// Writes a library of 20 journals in nested catalogues into the folder: the
// given existing journal is one of them, the other 19 are written beside the
// library with 100 to 1,500 experiences each. No journal is marked default,
// so opening the library reads none of them.
TBenchLibrary WriteLibrary(const std::string& folder, const std::string& bigJournal,
                           std::uint64_t seed);

// Writes a library of `journals` journals into the folder, ten to a
// catalogue under a catalogue of years: the given existing journal is one of
// them and marked default, so the window opens it at start-up; the others
// are written beside the library with 20 to 300 experiences each.
TBenchLibrary WriteDefaultLibrary(const std::string& folder, const std::string& defaultJournal,
                                  int journals, std::uint64_t seed);
