#include "xml/xml_seal.h"

#include <mutex>
#include <string>
#include <utility>

#include "xml/xml_fileSystem.h"

namespace {

// The recovery worker writes copies while the window may lock or unlock.
std::mutex sealMutex;
std::shared_ptr<const TFileSeal> documentSeal;

// A sealed file met while no key is held; the window asks for the
// passphrase before it reads such a file, so users rarely see this.
constexpr const char* kNoKey = "the file is encrypted and no passphrase was given";

}  // namespace

void SetDocumentSeal(std::shared_ptr<const TFileSeal> seal) {
  const std::lock_guard<std::mutex> lock(sealMutex);
  documentSeal = std::move(seal);
}

std::shared_ptr<const TFileSeal> DocumentSeal() {
  const std::lock_guard<std::mutex> lock(sealMutex);
  return documentSeal;
}

bool FileIsSealed(const std::string& fileName) {
  std::uint64_t size = 0;
  std::string error;
  const xfs::THandle file = xfs::OpenForReading(fileName, size, error);
  if (file < 0) return false;
  std::string start(SealMagic.size(), '\0');
  std::size_t got = 0;
  for (std::int64_t n = 1; got < start.size() && n > 0; got += static_cast<std::size_t>(n))
    if ((n = xfs::ReadSome(file, start.data() + got, start.size() - got, error)) < 0) break;
  xfs::CloseQuietly(file);
  return got == start.size() && IsSealedText(start);
}

bool OpenDocumentBytes(std::string bytes, std::string& text, std::string* error,
                       const TFileSeal* seal) {
  if (!IsSealedText(bytes)) {
    text = std::move(bytes);
    return true;
  }
  std::string reason = kNoKey;
  if (seal && seal->Open(bytes, text, reason)) return true;
  text.clear();
  if (error) *error = reason;
  return false;
}

bool ReadDocumentFile(const std::string& fileName, std::string& text, std::string* error,
                      const TFileSeal* seal) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes, error)) {
    text.clear();
    return false;
  }
  return OpenDocumentBytes(std::move(bytes), text, error, seal);
}

bool ReadDocumentFile(const std::string& fileName, std::string& text, std::string* error) {
  const std::shared_ptr<const TFileSeal> seal = DocumentSeal();
  return ReadDocumentFile(fileName, text, error, seal.get());
}

std::string WriteDocumentFile(const std::string& fileName,
                              const std::function<void(const TByteSink&)>& produce,
                              const TFileSeal* seal) {
  if (!seal) return WriteFileAtomically(fileName, produce);
  return WriteFileAtomically(fileName, [&](const TByteSink& sink) { seal->Seal(produce, sink); });
}

std::string WriteDocumentFile(const std::string& fileName,
                              const std::function<void(const TByteSink&)>& produce) {
  const std::shared_ptr<const TFileSeal> seal = DocumentSeal();
  return WriteDocumentFile(fileName, produce, seal.get());
}

std::string WriteDocumentFile(const std::string& fileName, std::string_view text) {
  return WriteDocumentFile(fileName, [&](const TByteSink& sink) { sink(text); });
}
