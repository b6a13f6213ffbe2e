#include "tools/smr_ToolUnlock.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "crypto/smr_Seal.h"
#include "storage/smr_Resources.h"
#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

std::string Say(const char* text, const std::string& first, const std::string& second = {}) {
  QString message = QString::fromUtf8(text).arg(QString::fromStdString(first));
  if (message.contains(QLatin1String("%2"))) message = message.arg(QString::fromStdString(second));
  return message.toUtf8().toStdString();
}

// Only the first line: a file written by an editor ends with a line break.
void KeepFirstLine(std::string& text) {
  const std::size_t end = text.find_first_of("\r\n");
  if (end != std::string::npos) {
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(), '\0');
    text.resize(end);
  }
}

}  // namespace

std::string UnlockForTool(const std::string& inputFile, const std::string& passphraseFile) {
  // The header alone: a plain journal is read once, by its load.
  std::string start(SealHeaderSize, '\0'), error;
  std::uint64_t size = 0;
  const xfs::THandle file = xfs::OpenForReading(inputFile, size, error);
  if (file < 0) {
    // A missing file is the load's to tell; any other failure is told here.
    return FileExists(inputFile) ? Say(res::ToolCannotRead, inputFile, error) : std::string();
  }
  std::size_t got = 0;
  for (std::int64_t n = 1; got < start.size() && n > 0; got += static_cast<std::size_t>(n)) {
    n = xfs::ReadSome(file, start.data() + got, start.size() - got, error);
    if (n < 0) {
      xfs::CloseQuietly(file);
      return Say(res::ToolCannotRead, inputFile, error);
    }
  }
  xfs::CloseQuietly(file);
  start.resize(got);
  if (!IsSealedText(start)) return {};
  TSealHeader header;
  if (!ReadSealHeader(start, header))
    return Say(res::ToolCannotRead, inputFile, OpenFaultText(TOpenFault::UnknownFormat));
  std::string passphrase;
  if (!passphraseFile.empty()) {
    if (!ReadWholeFile(passphraseFile, passphrase, &error))
      return Say(res::ToolPassphraseFileUnreadable, passphraseFile, error);
  } else if (!std::getline(std::cin, passphrase) && passphrase.empty()) {
    return Say(res::ToolNeedsPassphrase, inputFile);
  }
  KeepFirstLine(passphrase);
  std::shared_ptr<const TSealKey> key = TSealKey::Derive(passphrase, header.Salt, header.Kdf);
  std::fill(passphrase.begin(), passphrase.end(), '\0');
  if (!key) return Say(res::ToolCannotRead, inputFile, res::ToolKeyNotDerived);
  if (!key->Fits(header)) return Say(res::ToolWrongPassphrase, inputFile);
  SetDocumentSeal(std::make_shared<TSealKeyring>(key));
  return {};
}
