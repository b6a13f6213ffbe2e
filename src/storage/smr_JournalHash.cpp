#include "storage/smr_JournalHash.h"

#include "storage/smr_Types.h"

TJournalHash::~TJournalHash() {
  if (!FSaveOnDestroy) return;
  for (auto& entry : FDocuments) {
    try {
      entry.document->Save(entry.document->FileName);
    } catch (const TXMLWriteError&) {
      // Nothing can be shown from a destructor; the owner reports first.
    }
  }
}

TXMLParser* TJournalHash::Find(const std::string& fileName) const {
  const std::string key = CanonicalFileName(fileName);
  for (const auto& entry : FDocuments)
    if (entry.key == key) return entry.document.get();
  return nullptr;
}

TXMLParser* TJournalHash::Get(const std::string& fileName) {
  if (TXMLParser* found = Find(fileName)) return found;
  auto document = std::make_unique<TXMLParser>();
  document->Parameters.Encoding = std::string(smr::Encoding1251);
  const bool existed = FileExists(fileName);
  document->Load(fileName);
  if (!existed && document->Status == xsCannotOpen) {
    // Saving must create a readable journal, not a nameless root.
    InitNewJournal(*document);
  }
  TXMLParser* raw = document.get();
  FDocuments.push_back({CanonicalFileName(fileName), std::move(document)});
  return raw;
}

void TJournalHash::Add(std::unique_ptr<TXMLParser> document) {
  std::string key = CanonicalFileName(document->FileName);
  FDocuments.push_back({std::move(key), std::move(document)});
}

void TJournalHash::SaveAll() {
  std::string errors;
  for (auto& entry : FDocuments) {
    try {
      entry.document->Save(entry.document->FileName);
    } catch (const TXMLWriteError& error) {
      if (!errors.empty()) errors += '\n';
      errors += entry.document->FileName + ": " + error.what();
    }
  }
  if (!errors.empty()) throw TXMLWriteError(errors);
}

void InitNewJournal(TXMLParser& document) {
  document.Parameters.Encoding = std::string(smr::Encoding1251);
  document.Parameters.Instruction = std::string(smr::JournalInstruction);
  document.Parameters.DocType.Text = std::string(smr::JournalDocType);
  document.Root->Name = std::string(smr::elJournal);
  document.Root->Kind = nkElement;
}

void InitNewLibrary(TXMLParser& document, const std::string& title) {
  document.Parameters.Encoding = std::string(smr::Encoding1251);
  document.Parameters.Instruction = std::string(smr::LibraryInstruction);
  document.Parameters.DocType.Text = std::string(smr::LibraryDocType);
  document.Root->Name = std::string(smr::elLibrary);
  document.Root->Kind = nkElement;
  document.Root->SetAttribute(smr::atName, title);
}
