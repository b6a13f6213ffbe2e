#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xml/xml_mainUnit.h"

// Every journal document read or created since start-up, so that each
// journal file is read once and written back on save. Documents are keyed
// by the canonical form of their file name: one file reached by two
// spellings is one document (two documents would overwrite each other's
// edits on save).
class TJournalHash {
 public:
  TJournalHash() = default;
  TJournalHash(const TJournalHash&) = delete;
  TJournalHash& operator=(const TJournalHash&) = delete;
  // Saves every document (errors are swallowed here: the owner saves
  // explicitly first when it wants to report them), unless switched off.
  ~TJournalHash();

  // The document of that file, read now if it is not in the table yet
  // (whatever its load status). A file that does not exist gives an empty
  // journal that saving will create. File names are native 8-bit paths.
  TXMLParser* Get(const std::string& fileName);
  // Looks up without reading; null when the file is not in the table.
  TXMLParser* Find(const std::string& fileName) const;
  // Takes a document the caller created and saved (a new journal).
  void Add(std::unique_ptr<TXMLParser> document);
  // Saves every document to its own file, in table order. All are tried;
  // failures are collected into one TXMLWriteError thrown at the end.
  void SaveAll();
  int Count() const { return static_cast<int>(FDocuments.size()); }
  TXMLParser* Document(int index) const {
    return FDocuments[static_cast<std::size_t>(index)].document.get();
  }
  // For an owner that has already saved everything at exit.
  void SetSaveOnDestroy(bool save) { FSaveOnDestroy = save; }

 private:
  struct TEntry {
    std::string key;
    std::unique_ptr<TXMLParser> document;
  };
  std::vector<TEntry> FDocuments;
  bool FSaveOnDestroy = true;
};

// Makes a document a new, empty journal: prolog and the `somnary` root.
void InitNewJournal(TXMLParser& document);
// Makes a document a new library with the given title.
void InitNewLibrary(TXMLParser& document, const std::string& title);
