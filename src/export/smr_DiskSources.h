#pragma once

#include <map>
#include <memory>
#include <string>

#include "storage/smr_StoredPath.h"

class TExporter;
class TXMLParser;

// What a library or a journal names, read from the disk for an export: each
// journal is read once and kept while the sources live, so the roots the
// exporter was given stay valid. A journal that was not read whole is left
// out rather than exported in part.
class TDiskSources {
 public:
  explicit TDiskSources(TStoredPaths paths);
  ~TDiskSources();
  TDiskSources(const TDiskSources&) = delete;
  TDiskSources& operator=(const TDiskSources&) = delete;

  // Sets the exporter's Journal and StoredFile to read through these sources.
  void Attach(TExporter& exporter);

 private:
  TStoredPaths FPaths;
  std::map<std::string, std::unique_ptr<TXMLParser>> FJournals;
};
