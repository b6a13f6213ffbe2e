// Starts the main window (offscreen) on a settings file and a library made
// of the input: the bytes before the first "\n--\n" are dreams.ini, the rest
// is lib.xml, both in a folder of their own. Settings that name "lib.xml"
// open it, with its tree, default journal and credentials question (always
// cancelled). Closing writes the documents back, so inputs whose paths could
// leave that folder are skipped. Any crash, hang or sanitizer report is a
// finding.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "mainwindow/smr_MainForm.h"

namespace {

// Every question is cancelled.
class TCancellingPrompts : public TPrompts {
 public:
  TNewElementAnswer NewElement(QWidget*, int, int, int) override { return {}; }
  TAuthorizationAnswer Authorization(QWidget*, int) override { return {}; }
  TPassphraseAnswer Passphrase(QWidget*, TPassphraseMode, const QString&, const QString&) override {
    return {};
  }
  TConfirmationAnswer Confirmation(QWidget*, const QString&) override { return {}; }
  TImportAnswer ImportPreview(QWidget*, const TImportRequest&) override { return {}; }
  QString OpenFileName(QWidget*, TFileDialogState&) override { return {}; }
  QString SaveFileName(QWidget*, TFileDialogState&) override { return {}; }
  void Error(QWidget*, const QString&) override {}
  void Information(QWidget*, const QString&) override {}
  int Choose(QWidget*, const QString&, const QStringList&) override { return -1; }
  void About(QWidget*) override {}
  int Modal(QDialog&) override { return 0; }  // QDialog::Rejected
  void ShellOpen(const QString&) override {}
  void OpenInBrowser(const QString&) override {}
};

QTemporaryDir* gFolder = nullptr;

// Whether every `path` in the tree names a file of the current folder.
bool PathsStayHere(const TXMLNode& node) {
  for (const auto& attribute : node.Attributes) {
    if (attribute.Name != "path") continue;
    const std::string& value = attribute.Value;
    if (value.find_first_of("/\\") != std::string::npos || value == "." || value == "..")
      return false;
  }
  for (const auto& child : node.Children)
    if (!PathsStayHere(*child)) return false;
  return true;
}

// As the window will read it: the same reader, the same bytes.
bool PathsStayHere(std::string_view text) {
  TXMLParser document;
  document.LoadFromText(std::string(text));
  return PathsStayHere(*document.Root);
}

bool Write(const QString& name, std::string_view bytes) {
  QFile file(gFolder->filePath(name));
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) == qint64(bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication application(*argc, *argv);
  gFolder = new QTemporaryDir;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find("\n--\n");
  const std::string_view settings = input.substr(0, cut);
  const std::string_view library =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 4);
  if (!PathsStayHere(settings) || !PathsStayHere(library)) return -1;
  for (const QString& name : QDir(gFolder->path()).entryList(QDir::Files))
    QFile::remove(gFolder->filePath(name));
  if (!Write("dreams.ini", settings) || !Write("lib.xml", library)) return 0;
  // Relative journal paths are read from, and written to, that folder only;
  // the fuzzer's own folders are relative to where it was started.
  const QString started = QDir::currentPath();
  QDir::setCurrent(gFolder->path());
  { Tfrm_MainForm window(gFolder->path(), std::make_unique<TCancellingPrompts>()); }
  QDir::setCurrent(started);
  return 0;
}
