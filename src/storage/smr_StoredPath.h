#pragma once

#include <QString>
#include <string>

// Where a path kept in a library or a journal leads (a journal, a description
// file, a picture). The window, the search, the tools and the export all find
// files this one way, so a page shown is the page searched and exported.
class TStoredPaths {
 public:
  TStoredPaths() = default;
  // libraryDir: the folder of the library file (for a journal read on its
  // own, the journal's folder); empty when there is none. documentsDir: the
  // user's diary folder or the portable folder, with or without a final '/'.
  TStoredPaths(const QString& libraryDir, const QString& documentsDir);

  // The native name of the file a stored (windows-1251) path names. A
  // relative path was written against the library's folder, but the program
  // may be started from anywhere: it is looked for beside the library, then
  // in the current folder, then in the diary folder; when it is in none of
  // them, it belongs beside the library.
  std::string Resolve(const std::string& stored) const;
  QString ResolveUi(const std::string& stored) const;
  // Whether the stored path leads to an existing file or folder at any of
  // the places it is looked for.
  bool Exists(const std::string& stored) const;
  // The stored path as a link in a page written into pageDir: a relative one
  // that leads to a file is made relative to the page, so the link reaches
  // the file wherever the page is written; any other is kept. windows-1251.
  std::string LinkFrom(const QString& pageDir, const std::string& stored) const;

 private:
  QString FLibraryDir;
  QString FDocumentsDir;
};
