// Start-up, settings, the library's file commands and closing.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSplitter>
#include <QTreeWidget>
#include <QUrl>
#include <cstdio>
#include <variant>
#include <vector>

#include "dialogs/smr_DialogTexts.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_RecoveryCopies.h"
#include "mainwindow/smr_ScaledIcons.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_Codec.h"
#include "storage/smr_FileError.h"
#include "storage/smr_Resources.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

namespace {
using res::U;
}  // namespace

void Tfrm_MainForm::LoadSettings() {
  // An installed program's first run makes the user's settings and diary.
  const QString problem = FFolders.SetUpUserFolders();
  if (!problem.isEmpty()) Prompts().Error(this, U(res::UserFoldersNotSetUp).arg(problem));
  FSettings = std::make_unique<TXMLParser>();
  LoadSettingsFile(*FSettings, FFolders.SettingsFile().toUtf8().toStdString());
  WarnIfBadlyRead(*FSettings);
  FLibrary = std::make_unique<TXMLParser>();
  FLibrary->Parameters.Encoding = std::string(smr::Encoding1251);
}

void Tfrm_MainForm::ApplySettings() {
  // Read at once: opening the library adds nothing to the settings.
  for (const TStartSetting& setting : ReadStartSettings(*FSettings->Root)) {
    if (FTerminated) break;
    std::visit([this](const auto& value) { ApplySetting(value); }, setting);
  }
}

void Tfrm_MainForm::ApplySetting(const TIconSetting& icon) {
  QString path = icon.Path;
  // A relative path is tried in the current folder, then among the shipped files.
  if (QFileInfo(path).isRelative() && !QFileInfo::exists(path)) path = FFolders.DataDir() + path;
  QPixmap bitmap;
  if (bitmap.load(path)) bitmap.setMask(bitmap.createHeuristicMask());
  // A picture that cannot be loaded keeps its slot: later icons keep their index.
  FImages.append(bitmap.isNull() ? QIcon() : ScaledIcon(bitmap));
  if (bitmap.isNull()) return;
  QAction* pair[2] = {nullptr, nullptr};
  if (icon.Slot == TIconSlot::Directory)
    pair[0] = mnu_CreateDirectory, pair[1] = pmn_CreateDirectory;
  else if (icon.Slot == TIconSlot::File)
    pair[0] = mnu_CreateFile, pair[1] = pmn_CreateFile;
  else if (icon.Slot == TIconSlot::Night)
    pair[0] = mnu_CreateDay, pair[1] = pmn_CreateDay;
  else if (icon.Slot == TIconSlot::Dream)
    pair[0] = mnu_CreateExperience, pair[1] = pmn_CreateExperience;
  for (QAction* a : pair)
    if (a) a->setIcon(FImages.back());
}

void Tfrm_MainForm::ApplySetting(const TMarkCaptionsSetting& marks) {
  for (int mark = 0; mark < kMarkCount; ++mark)
    pnl_Edit->SetMarkCaption(mark, ToUi(marks.Captions[static_cast<std::size_t>(mark)]));
}

void Tfrm_MainForm::ApplySetting(const TFormSetting& form) {
  QRect bounds = geometry();
  if (form.Left) bounds.moveLeft(*form.Left);
  if (form.Top) bounds.moveTop(*form.Top);
  if (form.Width) bounds.setWidth(*form.Width);
  if (form.Height) bounds.setHeight(*form.Height);
  setGeometry(KeepOnScreen(bounds, *this));
  if (form.TreeWidth) SetTreeWidth(*form.TreeWidth);
}

void Tfrm_MainForm::ApplySetting(const TOptionsSetting& options) {
  FConfirmDelete = options.ConfirmDelete;
  FExperienceView = options.ExperienceView;
}

void Tfrm_MainForm::ApplySetting(const TLibrarySetting& library) {
  QString path = library.Path;
  // The current folder first, then the portable folder or the user's diary folder.
  const QString documents = FFolders.DocumentsDir() + path;
  if (QFileInfo(path).isRelative() && !QFileInfo::exists(path) && QFileInfo::exists(documents))
    path = documents;
  OpenLibrary(path.toUtf8().toStdString());
}

void Tfrm_MainForm::WarnIfBadlyRead(const TXMLParser& document) {
  if (!document.ReadError().empty()) {
    Prompts().Error(
        this, U(res::UnreadableFile)
                  .arg(UiFileName(document.FileName), QString::fromUtf8(document.ReadError())));
    return;
  }
  if (document.PendingBackupName().empty()) return;
  Prompts().Information(
      this, QString::fromUtf8(res::BadlyReadFile)
                .arg(UiFileName(document.FileName), UiFileName(document.PendingBackupName())));
}

void Tfrm_MainForm::OpenLibrary(const std::string& path, const std::string& acceptedLogin) {
  // A locked library stays closed; the program goes on without one.
  const bool unlocked = UnlockLibrary(path);
  EnableSealingCommands();
  if (!unlocked) return;
  FLibrary->Load(path);
  WarnIfBadlyRead(*FLibrary);
  TXMLNode* root = FLibrary->Root.get();
  QTreeWidgetItem* rootItem = MakeNode(ToUi(root->GetAttribute(smr::atName)), 1, root);
  FSuppressSelection = true;
  tre_Directory->addTopLevelItem(rootItem);
  FSuppressSelection = false;
  for (QAction* a : {mnu_Authorization, mnu_SaveAs, mnu_RestoreBackup}) a->setEnabled(true);

  if (root->HasAttribute(smr::atUserName) && root->HasAttribute(smr::atUserPassword) &&
      root->GetAttribute(smr::atUserName) + '\n' + root->GetAttribute(smr::atUserPassword) !=
          acceptedLogin) {
    TPrompts::TAuthorizationAnswer answer = Prompts().Authorization(this, 0);
    if (!answer.Ok ||
        !CredentialMatches(FromUi(answer.UserName, TTextPlace::Plain),
                           root->GetAttribute(smr::atUserName)) ||
        !CredentialMatches(FromUi(answer.Password, TTextPlace::Plain),
                           root->GetAttribute(smr::atUserPassword))) {
      // A wrong log-in ends the program without a word; the documents are
      // written back unchanged as the window goes.
      FTerminated = true;
      QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
      return;
    }
  }
  FRecovery->UseStore(TRecoveryStore(FFolders.RecoveryDir(),
                                     QFileInfo(UiFileName(FLibrary->FileName)).absoluteFilePath()));
  EnableSealingCommands();
  // Opened by the user, not read again after another program's write.
  if (acceptedLogin.empty() && FLibrary->ReadError().empty()) {
    OfferToFinishSealing();
    OfferRecovery();
    // The library may have been brought back from its copy.
    root = FLibrary->Root.get();
    rootItem->setText(0, ToUi(root->GetAttribute(smr::atName)));
    rootItem->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(root)));
  }
  for (const auto& child : root->Children)
    if (child->Name == smr::elDirectory) BuildSubtree(rootItem, child.get());
  WatchFile(*FLibrary);
}

void Tfrm_MainForm::RecordLibraryPath(const std::string& path) {
  WriteLibraryPath(*FSettings, DocumentFileName(UiFileName(path)));
}

void Tfrm_MainForm::ClearTree() {
  FSuppressSelection = true;
  tre_Directory->clear();
  FSuppressSelection = false;
  FCurrentNode = nullptr;
  pnl_Edit->SetElement(nullptr);
  HTMLEditor()->ShowFile(QString());
  pnl_Statistics->Clear();
  ForgetPatterns();
  pnl_Search->Forget();
  FDefaultFile = nullptr;
}

bool Tfrm_MainForm::IsOwnFile(const std::string& nativeName) const {
  const std::string canonical = CanonicalFileName(nativeName);
  for (const TXMLParser* own : {FSettings.get(), FLibrary.get()})
    if (FileNamed(*own) && CanonicalFileName(own->FileName) == canonical) return true;
  return false;
}

void Tfrm_MainForm::SaveDocument(TXMLParser& document) {
  // A document that never had a file (no library opened yet) is not written.
  if (!FileNamed(document)) return;
  if (document.IsUnreadFile(document.FileName))
    throw TXMLWriteError(U(res::UnreadableFileNotSaved)
                             .arg(QFileInfo(UiFileName(document.FileName)).absoluteFilePath(),
                                  QString::fromUtf8(document.ReadError()))
                             .toUtf8()
                             .toStdString());
  // A settings folder the first run could not make: its reason, not the
  // missing file's one that writing would give.
  if (&document == FSettings.get())
    if (const QString reason = FFolders.MakeSettingsDir(); !reason.isEmpty())
      throw TXMLWriteError(reason.toUtf8().toStdString());
  // Another program's version of the file is never written over.
  const QString shown = QFileInfo(UiFileName(document.FileName)).absoluteFilePath();
  if (document.Save(document.FileName) == TXMLParser::TSaveOutcome::WroteConflictCopy)
    FConflicts << U(res::ConflictCopyWritten)
                      .arg(shown,
                           QFileInfo(UiFileName(document.ConflictCopy())).absoluteFilePath());
  if (!document.SyncWarning().empty())
    FConflicts << U(res::SavedButNotSynced).arg(shown, QString::fromUtf8(document.SyncWarning()));
}

QStringList Tfrm_MainForm::SaveAllDocuments() {
  QStringList errors;
  std::vector<TXMLParser*> documents = {FSettings.get(), FLibrary.get()};
  for (int i = 0; i < FJournals.Count(); ++i) documents.push_back(FJournals.Document(i));
  std::vector<TXMLParser*> written;
  for (TXMLParser* document : documents) {
    try {
      SaveDocument(*document);
      written.push_back(document);
    } catch (const TXMLWriteError& error) {
      // A refusal names its file itself.
      errors << (document->IsUnreadFile(document->FileName)
                     ? QString::fromUtf8(error.what())
                     : WriteErrorText(UiFileName(document->FileName), error));
    }
  }
  ForgetRecoveryCopies(written, errors.isEmpty());
  return errors;
}

bool Tfrm_MainForm::SaveEverything() {
  // Not at the end of a session: that save has a deadline, and the next
  // day's first save copies the files anyway.
  MakeDailyBackup();
  const QStringList errors = SaveAllDocuments();
  if (!FConflicts.isEmpty()) Prompts().Information(this, FConflicts.join('\n'));
  FConflicts.clear();
  if (errors.isEmpty()) return true;
  Prompts().Error(this, errors.join('\n'));
  return false;
}

int Tfrm_MainForm::EndSession() {
  // A window never shown (the session ended during the log-in) has no
  // bounds of the user's to keep.
  if (isVisible()) WriteFormBounds();
  QStringList errors = SaveAllDocuments();
  if (const QString error = SaveOrRecoverHTMLDescription(); !error.isEmpty()) errors << error;
  // Nobody is there to answer a dialog: the failures go to standard error.
  for (const QString& error : errors)
    std::fprintf(stderr, "somnary: %s\n", error.toUtf8().constData());
  // Both versions are kept: said, but no failure.
  for (const QString& conflict : FConflicts)
    std::fprintf(stderr, "somnary: %s\n", conflict.toUtf8().constData());
  FConflicts.clear();
  FSavedOnClose = true;
  FJournals.SetSaveOnDestroy(false);
  return errors.isEmpty() ? 0 : 1;
}

// Saves the library before it is dropped; false (and nothing dropped) when
// it could not be written.
static bool SaveLibraryBeforeDropping(Tfrm_MainForm& form, TXMLParser& library) {
  // A library that could not be read holds nothing of its file to save.
  if (library.IsUnreadFile(library.FileName)) return true;
  try {
    if (!library.FileName.empty()) library.Save(library.FileName);
  } catch (const TXMLWriteError& error) {
    form.Prompts().Error(&form, Tfrm_MainForm::WriteErrorText(UiFileName(library.FileName), error));
    return false;
  }
  return true;
}

void Tfrm_MainForm::DropLibrary(std::unique_ptr<TXMLParser> replacement) {
  ClearTree();
  // Pairs must not outlive the `file` elements they point at.
  FPairs.RemoveHolding(FLibrary->Root.get());
  FRefusedFiles.clear();
  ForgetDescriptionOwners(nullptr);
  // No text may be built from a document that goes.
  ++FEditGeneration;
  AbandonRecoveryCopies(true);
  FMaybeEdited.erase(FLibrary.get());
  FActivityItem = nullptr;
  FLibrary = std::move(replacement);
}

bool Tfrm_MainForm::MayWriteNewLibrary(const std::string& nativeName, const QString& shown) {
  // Files the program writes itself would be written over at the next save.
  if (IsOwnFile(nativeName) || FJournals.Find(nativeName)) {
    Prompts().Error(this, U(res::LibraryPathInUse).arg(shown));
    return false;
  }
  if (!FileExists(nativeName)) return true;
  return Prompts().Choose(this, U(res::LibraryFileExists).arg(shown),
                          {U(res::ReplaceFile), U(res::CancelCommand)}) == 0;
}

void Tfrm_MainForm::btn_NewClick() {
  TPrompts::TNewElementAnswer answer = Prompts().NewElement(this, 0, 0, 0);
  if (!answer.Ok) return;
  const std::string path = answer.Second.toUtf8().toStdString();
  if (!MayWriteNewLibrary(path, answer.Second)) return;
  if (!KeepHTMLDescription() || !SaveLibraryBeforeDropping(*this, *FLibrary)) return;
  auto created = std::make_unique<TXMLParser>();
  InitNewLibrary(*created, FromUi(answer.First, TTextPlace::Attribute));
  try {
    created->Save(path);
  } catch (const TXMLWriteError& error) {
    // The open library stays open; it has just been saved.
    Prompts().Error(this, WriteErrorText(answer.Second, error));
    return;
  }
  DropLibrary(std::move(created));
  RecordLibraryPath(path);
  OpenLibrary(path);
  if (!FTerminated && tre_Directory->topLevelItemCount() > 0)
    tre_Directory->setCurrentItem(tre_Directory->topLevelItem(0));
}

void Tfrm_MainForm::btn_OpenClick() {
  // The image dialog is borrowed and given back as it was.
  dlg_OpenImage.Title = U(res::OpenLibraryTitle);
  dlg_OpenImage.Filter = U(res::LibraryFilter);
  const QString chosen = Prompts().OpenFileName(this, dlg_OpenImage);
  dlg_OpenImage.Title = U(res::OpenImageTitle);
  dlg_OpenImage.Filter = U(res::ImageFilter);
  if (chosen.isEmpty()) return;
  if (!KeepHTMLDescription() || !SaveLibraryBeforeDropping(*this, *FLibrary)) return;
  auto empty = std::make_unique<TXMLParser>();
  empty->Parameters.Encoding = std::string(smr::Encoding1251);
  DropLibrary(std::move(empty));
  const std::string path = chosen.toUtf8().toStdString();
  RecordLibraryPath(path);
  OpenLibrary(path);
}

void Tfrm_MainForm::btn_SaveClick() { SaveEverything(); }

QString Tfrm_MainForm::WriteErrorText(const QString& fileName, const TXMLWriteError& error) {
  return FileWriteErrorText(fileName, error.what());
}

void Tfrm_MainForm::mnu_SaveAsClick() {
  // No library open: nothing to save, and no nameless document to record.
  if (!FileNamed(*FLibrary)) return;
  dlg_Save.Title = U(res::SaveLibraryAsTitle);
  dlg_Save.Filter = U(res::LibraryFilter);
  dlg_Save.DefaultExt = QString();
  const QString chosen = Prompts().SaveFileName(this, dlg_Save);
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toUtf8().toStdString();
  try {
    FLibrary->Save(path);
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(chosen, error));
    return;
  }
  RecordLibraryPath(path);
}

void Tfrm_MainForm::btn_AuthorizationClick() {
  TPrompts::TAuthorizationAnswer answer = Prompts().Authorization(this, 1);
  if (!answer.Ok) return;
  TXMLNode* root = FLibrary->Root.get();
  if (!answer.UserName.isEmpty() && !answer.Password.isEmpty()) {
    TCodec codec;
    root->SetAttribute(smr::atUserName, codec.Encode(FromUi(answer.UserName, TTextPlace::Plain)));
    root->SetAttribute(smr::atUserPassword,
                       codec.Encode(FromUi(answer.Password, TTextPlace::Plain)));
  } else {
    root->DeleteAttribute(smr::atUserName);
    root->DeleteAttribute(smr::atUserPassword);
  }
}

void Tfrm_MainForm::btn_Tool_05Click() { Prompts().About(this); }

void Tfrm_MainForm::mnu_ShowHelpClick() {
  QString page = QDir::current().absoluteFilePath(QStringLiteral("Help/index.html"));
  if (!QFileInfo::exists(page)) page = FFolders.DataDir() + QStringLiteral("Help/index.html");
  Prompts().ShellOpen(QUrl::fromLocalFile(page).toString());
}

void Tfrm_MainForm::mnu_InternetClick() { Prompts().ShellOpen(U(res::MakerAddress)); }

void Tfrm_MainForm::WriteFormBounds() {
  const QRect bounds = geometry();
  ::WriteFormBounds(*FSettings,
                    {bounds.left(), bounds.top(), bounds.width(), bounds.height(), FTreeWidth});
}

void Tfrm_MainForm::closeEvent(QCloseEvent* event) {
  if (FSavedOnClose) {  // the session ended and everything was written
    event->accept();
    return;
  }
  WriteFormBounds();
  // A description that could not be written is kept unless the user lets it go.
  if (!KeepHTMLDescription()) {
    event->ignore();
    return;
  }
  if (!SaveEverything()) {
    // Closing now would throw the unsaved edits away: let the user decide.
    const int choice = Prompts().Choose(this, U(res::CloseWithoutSaving),
                                        {U(res::CloseAnyway), U(res::CancelClosing)});
    if (choice != 0) {
      event->ignore();
      return;
    }
  }
  FSavedOnClose = true;
  FJournals.SetSaveOnDestroy(false);
  event->accept();
}

Tfrm_MainForm::~Tfrm_MainForm() {
  qApp->removeEventFilter(this);
  // The widgets go after the documents: nothing may reach an element then.
  FSuppressSelection = true;
  tre_Directory->blockSignals(true);
  FCurrentNode = nullptr;
  // Nobody to ask any more: the changed description is written, or kept in a recovery file.
  if (!FSavedOnClose)
    if (const QString error = SaveOrRecoverHTMLDescription(); !error.isEmpty())
      std::fprintf(stderr, "somnary: %s\n", error.toUtf8().constData());
  pnl_Edit->SetElement(nullptr);
  if (FSavedOnClose) return;
  // Closed without closeEvent (a failed log-in, or the program ending):
  // write everything back without asking. A window never shown after a
  // failed log-in keeps the bounds it read: its unlaid tree would report
  // its minimum width.
  if (!FTerminated || isVisible()) WriteFormBounds();
  for (TXMLParser* document : {FSettings.get(), FLibrary.get()}) {
    try {
      SaveDocument(*document);
    } catch (const TXMLWriteError&) {
    }
  }
}
