// Opt-in encryption of a library at rest: the library file, its journals,
// descriptions and every copy of them are sealed with a key derived from a
// passphrase; the key lives in locked memory while the library is open.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <set>

#include "crypto/smr_Seal.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_RecoveryCopies.h"
#include "storage/smr_LibrarySealing.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

using res::U;

constexpr int kUnlockTries = 3;

// The first bytes of a file: enough for a sealed file's header.
std::string FileStart(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.read(256).toStdString();
}

// Argon2id takes half a second by design: the user sees the wait.
std::shared_ptr<const TSealKey> DeriveKey(const QString& passphrase, const TSalt& salt,
                                          const TKdfParameters& kdf) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QByteArray utf8 = passphrase.toUtf8();
  auto key =
      TSealKey::Derive(std::string_view(utf8.constData(), std::size_t(utf8.size())), salt, kdf);
  std::fill(utf8.begin(), utf8.end(), '\0');
  QApplication::restoreOverrideCursor();
  return key;
}

QString LibraryName(const std::string& path) { return QFileInfo(UiFileName(path)).fileName(); }

}  // namespace

Tfrm_MainForm::TSealReset::~TSealReset() { SetDocumentSeal(nullptr); }

void Tfrm_MainForm::EnableSealingCommands() {
  const bool open = FileNamed(*FLibrary) && FLibrary->ReadError().empty();
  mnu_EncryptLibrary->setEnabled(open && !FSeal);
  mnu_ChangePassphrase->setEnabled(open && FSeal);
  mnu_DecryptLibrary->setEnabled(open && FSeal);
}

bool Tfrm_MainForm::UnlockLibrary(const std::string& path) {
  const QString file = UiFileName(path);
  const std::string start = FileStart(file);
  TSealHeader header;
  const bool sealed = ReadSealHeader(start, header);
  // A reread of the unlocked library keeps its key.
  if (sealed && FSeal && FSeal->KeyFor(start)) return true;
  FSeal.reset();
  SetDocumentSeal(nullptr);
  if (!IsSealedText(start)) return true;
  // A header no key can come from: the load says what is wrong with it.
  if (!sealed) return true;
  QString message;
  for (int left = kUnlockTries; left > 0; --left) {
    TPrompts::TPassphraseAnswer answer =
        Prompts().Passphrase(this, TPassphraseMode::Unlock, LibraryName(path), message);
    if (!answer.Ok) return false;
    std::shared_ptr<const TSealKey> key = DeriveKey(answer.Passphrase, header.Salt, header.Kdf);
    answer.Passphrase.fill(QChar(u'\0'));
    if (!key) {
      Prompts().Error(this, U(res::KeyNotDerived));
      return false;
    }
    if (key->Fits(header)) {
      FSeal = std::make_shared<TSealKeyring>(key);
      SetDocumentSeal(FSeal);
      return true;
    }
    message = U(res::WrongPassphraseTry).arg(left - 1);
  }
  Prompts().Error(this, U(res::LibraryNotUnlocked).arg(LibraryName(path)));
  return false;
}

QStringList Tfrm_MainForm::SealableFiles(bool libraryFirst) const {
  QStringList documents = LibraryFiles();
  const QString library = documents.takeFirst();
  // The descriptions each journal names, read from memory when it is open.
  std::set<std::string> seen;
  for (const QString& journalFile : QStringList(documents)) {
    const std::string native = journalFile.toUtf8().toStdString();
    std::unique_ptr<TXMLParser> read;
    const TXMLParser* journal = FJournals.Find(native);
    if (!journal) {
      read = std::make_unique<TXMLParser>();
      read->Load(native);
      journal = read.get();
    }
    std::function<void(const TXMLNode&)> walk = [&](const TXMLNode& node) {
      if (node.Name == smr::elExperience && node.HasAttribute(smr::atFile)) {
        const QString page = StoredPaths().ResolveUi(node.GetAttribute(smr::atFile));
        if (!page.isEmpty() && seen.insert(CanonicalFileName(page.toUtf8().toStdString())).second &&
            QFileInfo::exists(page))
          documents << QFileInfo(page).absoluteFilePath();
      }
      for (const auto& child : node.Children) walk(*child);
    };
    walk(*journal->Root);
  }
  QStringList files = documents;
  files.prepend(library);
  for (const QString& document : QStringList(files)) files << TLibrarySealing::Companions(document);
  // Dated backups of these files, and the recovery copies of this library.
  QSet<QString> originals;
  for (const QString& document : QStringList(files))
    originals.insert(QString::fromStdString(CanonicalFileName(document.toUtf8().toStdString())));
  const TDatedBackups backups = Backups();
  for (const TDatedBackups::TCopy& copy : backups.Copies())
    for (const QString& relative : copy.Files)
      if (originals.contains(QString::fromStdString(
              CanonicalFileName(backups.OriginalOf(copy, relative).toUtf8().toStdString()))))
        files << copy.Folder + relative;
  files << FRecovery->Store().AllCopies();
  // The library's own file says whether the library is sealed: it goes
  // first when sealing and last when opening, so that a job cut off leaves
  // a sealed library as long as any file is sealed.
  if (!libraryFirst) files.move(0, files.size() - 1);
  return files;
}

bool Tfrm_MainForm::RunSealing(bool seal, const std::shared_ptr<const TSealKeyring>& from,
                               const std::shared_ptr<const TSealKeyring>& to,
                               const char* doneText) {
  const QString library = QFileInfo(UiFileName(FLibrary->FileName)).absoluteFilePath();
  const QStringList files = SealableFiles(seal);
  TLibrarySealing::TDone done;
  if (to)
    done = [&to](std::string_view start) { return to->KeyFor(start) == &to->WriteKey(); };
  else
    done = [](std::string_view start) { return !IsSealedText(start); };
  // Documents read from now on may meet either form.
  SetDocumentSeal(from ? from : to);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QStringList failures = TLibrarySealing::Run(
      library, seal ? TLibrarySealing::TDirection::Seal : TLibrarySealing::TDirection::Unseal,
      files, from.get(), to.get(), done);
  QApplication::restoreOverrideCursor();
  // Files still sealed need the key to be read: a plain library keeps it
  // until every file is plain.
  FSeal = to ? to : failures.isEmpty() ? nullptr : from;
  SetDocumentSeal(FSeal);
  EnableSealingCommands();
  if (!failures.isEmpty()) {
    Prompts().Error(this, U(res::SealingFailed).arg(failures.join(QLatin1Char('\n'))));
    return false;
  }
  if (doneText) Prompts().Information(this, U(doneText).arg(files.size()));
  return true;
}

bool Tfrm_MainForm::PassphraseFits(const QString& passphrase) const {
  if (!FSeal) return false;
  const TSealKey& current = FSeal->WriteKey();
  const std::shared_ptr<const TSealKey> key = DeriveKey(passphrase, current.Salt(), current.Kdf());
  return key && key->Check() == current.Check();
}

bool Tfrm_MainForm::SavedBeforeSealing() {
  // The job rewrites the files as they are on disk: memory goes there first.
  if (!KeepHTMLDescription()) return false;
  if (SaveEverything()) return true;
  Prompts().Error(this, U(res::SealingNeedsSave));
  return false;
}

void Tfrm_MainForm::mnu_EncryptLibraryClick() {
  if (!FileNamed(*FLibrary) || FSeal || !SavedBeforeSealing()) return;
  TPrompts::TPassphraseAnswer answer =
      Prompts().Passphrase(this, TPassphraseMode::Choose, LibraryName(FLibrary->FileName), {});
  if (!answer.Ok) return;
  std::shared_ptr<const TSealKey> key = DeriveKey(answer.Passphrase, TSealKey::NewSalt(), {});
  answer.Passphrase.fill(QChar(u'\0'));
  if (!key) {
    Prompts().Error(this, U(res::KeyNotDerived));
    return;
  }
  RunSealing(true, nullptr, std::make_shared<TSealKeyring>(key), res::LibraryEncrypted);
}

void Tfrm_MainForm::mnu_ChangePassphraseClick() {
  if (!FileNamed(*FLibrary) || !FSeal || !SavedBeforeSealing()) return;
  TPrompts::TPassphraseAnswer answer =
      Prompts().Passphrase(this, TPassphraseMode::Change, LibraryName(FLibrary->FileName), {});
  if (!answer.Ok) return;
  const bool fits = PassphraseFits(answer.Current);
  answer.Current.fill(QChar(u'\0'));
  if (!fits) {
    answer.Passphrase.fill(QChar(u'\0'));
    Prompts().Error(this, U(res::WrongPassphrase));
    return;
  }
  std::shared_ptr<const TSealKey> key = DeriveKey(answer.Passphrase, TSealKey::NewSalt(), {});
  answer.Passphrase.fill(QChar(u'\0'));
  if (!key) {
    Prompts().Error(this, U(res::KeyNotDerived));
    return;
  }
  // The new ring still opens files of the old passphrase, so a change cut
  // off half-way can be finished.
  auto ring = std::make_shared<TSealKeyring>(key);
  ring->AddKey(std::shared_ptr<const TSealKey>(FSeal, &FSeal->WriteKey()));
  RunSealing(true, ring, ring, res::PassphraseChanged);
}

void Tfrm_MainForm::mnu_DecryptLibraryClick() {
  if (!FileNamed(*FLibrary) || !FSeal || !SavedBeforeSealing()) return;
  TPrompts::TPassphraseAnswer answer =
      Prompts().Passphrase(this, TPassphraseMode::Unlock, LibraryName(FLibrary->FileName), {});
  if (!answer.Ok) return;
  const bool fits = PassphraseFits(answer.Passphrase);
  answer.Passphrase.fill(QChar(u'\0'));
  if (!fits) {
    Prompts().Error(this, U(res::WrongPassphrase));
    return;
  }
  RunSealing(false, FSeal, nullptr, res::LibraryDecrypted);
}

void Tfrm_MainForm::OfferToFinishSealing() {
  const QString library = QFileInfo(UiFileName(FLibrary->FileName)).absoluteFilePath();
  const std::optional<TLibrarySealing::TDirection> interrupted =
      TLibrarySealing::Interrupted(library);
  if (!interrupted) return;
  const bool seal = *interrupted == TLibrarySealing::TDirection::Seal;
  if (seal && !FSeal) {
    // The library goes first: while it is plain, nothing was sealed.
    QFile::remove(TLibrarySealing::MarkerOf(library));
    Prompts().Information(this, U(res::SealingNeverStarted));
    return;
  }
  if (Prompts().Choose(this, U(seal ? res::SealingInterrupted : res::UnsealingInterrupted),
                       {U(res::FinishNow), U(res::FinishLater)}) != 0)
    return;
  RunSealing(seal, FSeal, seal ? FSeal : nullptr, nullptr);
}
