#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "xml/xml_functions.h"

// Files at rest may be sealed (encrypted and authenticated). The XML core
// knows only the shape: a sealed file begins with SealMagic, and the one
// seal the program holds turns a document's text into the bytes on disk and
// back. Which files are sealed is decided above (storage installs the seal
// of an unlocked library); the reader and the writer here do the rest.
constexpr std::string_view SealMagic("SOMNARY\x1A", 8);

// Whether bytes (a file's first bytes are enough) are a sealed file's.
inline bool IsSealedText(std::string_view bytes) {
  return bytes.substr(0, SealMagic.size()) == SealMagic;
}

class TFileSeal {
 public:
  virtual ~TFileSeal() = default;
  // Hands the sealed form of what `produce` gives to `out`, piece by piece.
  // Throws TXMLWriteError. Called from any thread.
  virtual void Seal(const std::function<void(const TByteSink&)>& produce,
                    const TByteSink& out) const = 0;
  // The text of a sealed file's bytes; false with the reason, in the
  // user's words, when the key does not fit or the bytes were changed.
  virtual bool Open(std::string_view sealed, std::string& text, std::string& error) const = 0;
};

// The seal that documents are written with and sealed files opened with;
// null while the program writes plain files.
void SetDocumentSeal(std::shared_ptr<const TFileSeal> seal);
std::shared_ptr<const TFileSeal> DocumentSeal();

// Whether the file there now begins as a sealed file does.
bool FileIsSealed(const std::string& fileName);

// Reads a document's file: a sealed one is opened with `seal` (by default
// the document seal), so `text` is always the plain text. False with the
// reason when the file cannot be read or opened.
bool ReadDocumentFile(const std::string& fileName, std::string& text, std::string* error = nullptr);
bool ReadDocumentFile(const std::string& fileName, std::string& text, std::string* error,
                      const TFileSeal* seal);
// Opens bytes already read; plain bytes are moved to `text` unchanged.
bool OpenDocumentBytes(std::string bytes, std::string& text, std::string* error,
                       const TFileSeal* seal);

// WriteFileAtomically for a document's text: sealed with `seal` (by default
// the document seal) when there is one, plain otherwise.
std::string WriteDocumentFile(const std::string& fileName, std::string_view text);
std::string WriteDocumentFile(const std::string& fileName,
                              const std::function<void(const TByteSink&)>& produce);
std::string WriteDocumentFile(const std::string& fileName,
                              const std::function<void(const TByteSink&)>& produce,
                              const TFileSeal* seal);
