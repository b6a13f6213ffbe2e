// Start-up, settings, the library's file commands and closing.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSplitter>
#include <QTreeWidget>
#include <QUrl>

#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "storage/smr_Codec.h"
#include "storage/smr_Resources.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

bool ToInt(const std::string& text, int& value) {
  bool ok = false;
  value = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toInt(&ok);
  return ok;
}
}  // namespace

void Tfrm_MainForm::LoadSettings() {
  FSettings = std::make_unique<TXMLParser>();
  FSettings->Parameters.Encoding = std::string(smr::Encoding1251);
  const std::string fileName = (FProgramDir + QString::fromLatin1(smr::SettingsFileName.data())).toLocal8Bit().toStdString();
  FSettings->Load(fileName);
  // A missing file leaves a nameless root; give it a name so the file
  // written at exit reads back.
  if (FSettings->Root->Name.empty()) {
    FSettings->Root->Name = std::string(smr::SettingsRootName);
    FSettings->Root->Kind = nkElement;
  }
  WarnIfBadlyRead(*FSettings);
  FLibrary = std::make_unique<TXMLParser>();
  FLibrary->Parameters.Encoding = std::string(smr::Encoding1251);
}

void Tfrm_MainForm::ApplySettings() {
  int labels = 0;
  // Children are applied in document order; opening the library may add
  // nothing to the settings root, so iterating by index is safe.
  for (int i = 0; i < FSettings->Root->ChildCount() && !FTerminated; ++i) {
    TXMLNode* child = FSettings->Root->Child(i);
    const std::string& name = child->Name;
    if (name == smr::elIcon) {
      QPixmap bitmap;
      if (child->HasAttribute(smr::atPath)) {
        QString path = ToUi(child->GetAttribute(smr::atPath));
        // A relative path is tried in the current folder, then beside the program.
        if (QFileInfo(path).isRelative() && !QFileInfo::exists(path)) path = FProgramDir + path;
        if (bitmap.load(path)) {
          bitmap.setMask(bitmap.createHeuristicMask());
          FImages.append(QIcon(bitmap));
        }
      }
      if (bitmap.isNull()) continue;  // an icon that cannot be loaded is skipped
      const std::string slot = child->GetAttribute(smr::atName);
      QAction* pair[2] = {nullptr, nullptr};
      if (slot == smr::IconDirectory) pair[0] = mnu_CreateDirectory, pair[1] = pmn_CreateDirectory;
      else if (slot == smr::IconFile) pair[0] = mnu_CreateFile, pair[1] = pmn_CreateFile;
      else if (slot == smr::IconNight) pair[0] = mnu_CreateDay, pair[1] = pmn_CreateDay;
      else if (slot == smr::IconDream) pair[0] = mnu_CreateExperience, pair[1] = pmn_CreateExperience;
      for (QAction* a : pair)
        if (a) a->setIcon(QIcon(bitmap));
    } else if (name == smr::elLabel) {
      if (++labels <= 4) pnl_Edit->SetMarkCaption(labels - 1, ToUi(child->GetAttribute(smr::atCaption)));
    } else if (name == smr::elForm) {
      QRect bounds = geometry();
      int v = 0;
      if (child->HasAttribute(smr::atLeft) && ToInt(child->GetAttribute(smr::atLeft), v)) bounds.moveLeft(v);
      if (child->HasAttribute(smr::atTop) && ToInt(child->GetAttribute(smr::atTop), v)) bounds.moveTop(v);
      if (child->HasAttribute(smr::atWidth) && ToInt(child->GetAttribute(smr::atWidth), v)) bounds.setWidth(v);
      if (child->HasAttribute(smr::atHeight) && ToInt(child->GetAttribute(smr::atHeight), v)) bounds.setHeight(v);
      setGeometry(bounds);
      if (child->HasAttribute(smr::atTreeWidth) && ToInt(child->GetAttribute(smr::atTreeWidth), v)) {
        const int total = spl_Main->width();
        spl_Main->setSizes({v, std::max(1, total - v)});
      }
    } else if (name == smr::elOptions) {
      const std::string confirm = child->GetAttribute(smr::atConfirmDelete);
      if (confirm == smr::Yes) FConfirmDelete = true;
      else if (confirm == smr::No) FConfirmDelete = false;
      if (child->GetAttribute(smr::atExperienceView) == smr::Html) FExperienceView = 1;
    } else if (name == smr::elSettingsLibrary) {
      if (child->HasAttribute(smr::atPath)) {
        QString path = ToUi(child->GetAttribute(smr::atPath));
        // As with the icons: the current folder first, then beside the program.
        if (QFileInfo(path).isRelative() && !QFileInfo::exists(path) && QFileInfo::exists(FProgramDir + path))
          path = FProgramDir + path;
        OpenLibrary(path.toLocal8Bit().toStdString());
      }
    }
  }
}

void Tfrm_MainForm::WarnIfBadlyRead(const TXMLParser& document) {
  if (document.PendingBackupName().empty()) return;
  Prompts().Information(this, QString::fromUtf8(res::BadlyReadFile)
                                  .arg(UiFileName(document.FileName), UiFileName(document.PendingBackupName())));
}

void Tfrm_MainForm::OpenLibrary(const std::string& path) {
  FLibrary->Load(path);
  WarnIfBadlyRead(*FLibrary);
  TXMLNode* root = FLibrary->Root.get();
  QTreeWidgetItem* rootItem = MakeNode(ToUi(root->GetAttribute(smr::atName)), 1, root);
  FSuppressSelection = true;
  tre_Directory->addTopLevelItem(rootItem);
  FSuppressSelection = false;
  if (mnu_Authorization) mnu_Authorization->setEnabled(true);

  if (root->HasAttribute(smr::atUserName) && root->HasAttribute(smr::atUserPassword)) {
    TCodec codec;
    const std::string user = codec.Decode(root->GetAttribute(smr::atUserName));
    const std::string password = codec.Decode(root->GetAttribute(smr::atUserPassword));
    TPrompts::TAuthorizationAnswer answer = Prompts().Authorization(this, 0);
    if (!answer.Ok || FromUi(answer.UserName, TTextPlace::Plain) != user ||
        FromUi(answer.Password, TTextPlace::Plain) != password) {
      // A wrong log-in ends the program without a word; the documents are
      // written back unchanged as the window goes.
      FTerminated = true;
      QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
      return;
    }
  }
  for (const auto& child : root->Children)
    if (child->Name == smr::elDirectory) BuildSubtree(rootItem, child.get());
}

TXMLNode* Tfrm_MainForm::EnsureSettingsElement(std::string_view name) {
  if (TXMLNode* found = FSettings->FindNode(name)) return found;
  TXMLNode* root = FSettings->Root.get();
  auto* element = root->AddChild(std::make_unique<TXMLNode>(std::string(name), nkEmptyElement));
  element->SetLevel(root->Level + 1);
  return element;
}

void Tfrm_MainForm::RecordLibraryPath(const std::string& path) {
  EnsureSettingsElement(smr::elSettingsLibrary)->SetAttribute(smr::atPath, DocumentFileName(UiFileName(path)));
}

void Tfrm_MainForm::ClearTree() {
  FSuppressSelection = true;
  tre_Directory->clear();
  FSuppressSelection = false;
  FCurrentNode = nullptr;
  pnl_Edit->SetElement(nullptr);
  pnl_Statistics->Clear();
  FDefaultFile = nullptr;
}

void Tfrm_MainForm::SaveDocument(TXMLParser& document) {
  // A document that never had a file (no library opened yet) is not written.
  if (FileNamed(document)) document.Save(document.FileName);
}

bool Tfrm_MainForm::SaveEverything() {
  QStringList errors;
  for (TXMLParser* document : {FSettings.get(), FLibrary.get()}) {
    try {
      SaveDocument(*document);
    } catch (const TXMLWriteError& error) {
      errors << WriteErrorText(UiFileName(document->FileName), error);
    }
  }
  try {
    FJournals.SaveAll();
  } catch (const TXMLWriteError& error) {
    errors << QString::fromLocal8Bit(error.what());
  }
  if (errors.isEmpty()) return true;
  Prompts().Error(this, errors.join('\n'));
  return false;
}

// Saves the library before it is dropped; false (and nothing dropped) when
// it could not be written.
static bool SaveLibraryBeforeDropping(Tfrm_MainForm& form, TXMLParser& library) {
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
  FLibrary = std::move(replacement);
}

void Tfrm_MainForm::btn_NewClick() {
  TPrompts::TNewElementAnswer answer = Prompts().NewElement(this, 0, 0, 0);
  if (!answer.Ok) return;
  const std::string path = answer.Second.toLocal8Bit().toStdString();
  // Write the new file first, so a failure leaves the open library as it was.
  auto created = std::make_unique<TXMLParser>();
  InitNewLibrary(*created, FromUi(answer.First, TTextPlace::Attribute));
  try {
    created->Save(path);
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(answer.Second, error));
    return;
  }
  if (!SaveLibraryBeforeDropping(*this, *FLibrary)) return;
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
  if (!SaveLibraryBeforeDropping(*this, *FLibrary)) return;
  auto empty = std::make_unique<TXMLParser>();
  empty->Parameters.Encoding = std::string(smr::Encoding1251);
  DropLibrary(std::move(empty));
  const std::string path = chosen.toLocal8Bit().toStdString();
  RecordLibraryPath(path);
  OpenLibrary(path);
}

void Tfrm_MainForm::btn_SaveClick() { SaveEverything(); }

QString Tfrm_MainForm::WriteErrorText(const QString& fileName, const TXMLWriteError& error) {
  return fileName + ": " + QString::fromLocal8Bit(error.what());
}

void Tfrm_MainForm::mnu_SaveAsClick() {
  dlg_Save.Title = U(res::SaveLibraryAsTitle);
  dlg_Save.Filter = U(res::LibraryFilter);
  dlg_Save.DefaultExt = QString();
  const QString chosen = Prompts().SaveFileName(this, dlg_Save);
  if (chosen.isEmpty()) return;
  const std::string path = chosen.toLocal8Bit().toStdString();
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
    root->SetAttribute(smr::atUserPassword, codec.Encode(FromUi(answer.Password, TTextPlace::Plain)));
  } else {
    root->DeleteAttribute(smr::atUserName);
    root->DeleteAttribute(smr::atUserPassword);
  }
}

void Tfrm_MainForm::btn_Tool_05Click() { Prompts().About(this); }

void Tfrm_MainForm::mnu_ShowHelpClick() {
  QString page = QDir::current().absoluteFilePath(QStringLiteral("Help/index.html"));
  if (!QFileInfo::exists(page)) page = FProgramDir + QStringLiteral("Help/index.html");
  Prompts().ShellOpen(QUrl::fromLocalFile(page).toString());
}

void Tfrm_MainForm::mnu_InternetClick() { Prompts().ShellOpen(U(res::MakerAddress)); }

void Tfrm_MainForm::WriteFormBounds() {
  TXMLNode* form = EnsureSettingsElement(smr::elForm);
  const QRect bounds = geometry();
  auto number = [](int v) { return std::to_string(v); };
  form->SetAttribute(smr::atLeft, number(bounds.left()));
  form->SetAttribute(smr::atTop, number(bounds.top()));
  form->SetAttribute(smr::atWidth, number(bounds.width()));
  form->SetAttribute(smr::atHeight, number(bounds.height()));
  form->SetAttribute(smr::atTreeWidth, number(tre_Directory->width()));
}

void Tfrm_MainForm::closeEvent(QCloseEvent* event) {
  WriteFormBounds();
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
  // The widgets go after the documents: nothing may reach an element then.
  FSuppressSelection = true;
  tre_Directory->blockSignals(true);
  FCurrentNode = nullptr;
  pnl_Edit->SetElement(nullptr);
  if (FSavedOnClose) return;
  // Closed without closeEvent (a failed log-in, or the program ending):
  // write everything back without asking.
  WriteFormBounds();
  for (TXMLParser* document : {FSettings.get(), FLibrary.get()}) {
    try {
      SaveDocument(*document);
    } catch (const TXMLWriteError&) {
    }
  }
}
