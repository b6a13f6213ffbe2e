#include "export/smr_DiskSources.h"

#include <utility>

#include "export/smr_Exporter.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_seal.h"

TDiskSources::TDiskSources(TStoredPaths paths) : FPaths(std::move(paths)) {}

TDiskSources::~TDiskSources() = default;

void TDiskSources::Attach(TExporter& exporter) {
  exporter.Journal = [this](const std::string& stored) -> const TXMLNode* {
    const std::string fileName = FPaths.Resolve(stored);
    auto found = FJournals.find(fileName);
    if (found == FJournals.end()) {
      auto document = std::make_unique<TXMLParser>();
      document->Load(fileName);
      if (document->Status != xsLoaded || !document->ReadError().empty()) document.reset();
      found = FJournals.emplace(fileName, std::move(document)).first;
    }
    return found->second ? found->second->Root.get() : nullptr;
  };
  exporter.StoredFile = [this](const std::string& stored) -> std::optional<std::string> {
    std::string text;
    if (!ReadDocumentFile(FPaths.Resolve(stored), text)) return std::nullopt;
    return text;
  };
}
