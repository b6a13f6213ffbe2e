// The HTML description of the selected experience: which file it shows,
// and what happens to its text when it is left, when the save fails and
// when the session ends.
#include <QDir>
#include <QFileInfo>
#include <functional>

#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"

namespace {
using res::U;

bool Holds(const TXMLNode* subtree, const TXMLNode* node) {
  if (subtree == node) return true;
  for (const auto& child : subtree->Children)
    if (Holds(child.get(), node)) return true;
  return false;
}

// Calls visit for every experience under the element, with its night.
void EachExperience(const TXMLNode* element, const TXMLNode* night,
                    const std::function<void(const TXMLNode&, const TXMLNode*)>& visit) {
  for (const auto& child : element->Children) {
    if (child->Name == smr::elExperience)
      visit(*child, night);
    else
      EachExperience(child.get(), child->Name == smr::elDay ? child.get() : night, visit);
  }
}
}  // namespace

bool Tfrm_MainForm::ShowsHTMLDescription() const {
  // After a delete the panel shows nothing: the text of a removed
  // experience is not written back.
  const TXMLNode* shown = pnl_Edit->Element();
  return shown && shown->GetAttribute(smr::atType) == smr::Html;
}

QString Tfrm_MainForm::HTMLFileName(const TXMLNode* experience) const {
  if (!experience->HasAttribute(smr::atFile)) return {};
  return StoredPaths().ResolveUi(experience->GetAttribute(smr::atFile));
}

void Tfrm_MainForm::ShowHTMLDescription(const TXMLNode* experience) {
  const QString path = HTMLFileName(experience);
  HTMLEditor()->ShowFile(path);
  if (path.isEmpty()) return;
  // Older journals may name one file twice; editing one experience would
  // wipe the other's description.
  const auto [owner, first] =
      FDescriptionOwners.emplace(CanonicalFileName(path.toUtf8().toStdString()), experience);
  if (!first && owner->second != experience && !HTMLEditor()->ReadOnly())
    HTMLEditor()->SetReadOnly(U(res::DescriptionShared).arg(path, ExperiencePlace(owner->second)));
  // Typed before a crash and brought back at start: an edit not saved yet.
  if (const auto recovered = FRecoveredDescriptions.find(owner->first);
      recovered != FRecoveredDescriptions.end() && !HTMLEditor()->ReadOnly()) {
    HTMLEditor()->TakeRecoveredText(recovered->second);
    FRecoveredDescriptions.erase(recovered);
  }
}

QString Tfrm_MainForm::ExperiencePlace(const TXMLNode* experience) const {
  QString night, journal;
  for (int i = 0; i < FJournals.Count() && journal.isEmpty(); ++i) {
    const TXMLParser* document = FJournals.Document(i);
    EachExperience(document->Root.get(), nullptr, [&](const TXMLNode& e, const TXMLNode* day) {
      if (&e != experience) return;
      night = day ? ToUi(day->GetAttribute(smr::atName)) : QString();
      const TXMLNode* file = FPairs.FindFirst(document->Root.get());
      journal = file ? ToUi(file->GetAttribute(smr::atName)) : UiFileName(document->FileName);
    });
  }
  return U(res::ExperiencePlace).arg(ExperienceCaption(experience), night, journal);
}

std::set<std::string> Tfrm_MainForm::DescriptionFilesNamed() const {
  // Journals not read yet are not read for this: their files are on disk,
  // and a name is taken only when no file has it.
  const TStoredPaths paths = StoredPaths();
  std::set<std::string> named;
  for (int i = 0; i < FJournals.Count(); ++i)
    EachExperience(FJournals.Document(i)->Root.get(), nullptr,
                   [&](const TXMLNode& e, const TXMLNode*) {
                     if (e.HasAttribute(smr::atFile))
                       named.insert(CanonicalFileName(paths.Resolve(e.GetAttribute(smr::atFile))));
                   });
  return named;
}

bool Tfrm_MainForm::KeepHTMLDescription() {
  if (!ShowsHTMLDescription()) return true;
  THTMLEditor* editor = HTMLEditor();
  const QString error = editor->WriteIfChanged();
  if (error.isEmpty()) return true;
  const int choice = Prompts().ChooseNoEscape(
      this, U(res::DescriptionNotSaved).arg(error),
      {U(res::RetrySave), U(res::SaveDescriptionAs), U(res::DiscardChanges)});
  if (choice == 0) {
    const QString again = editor->WriteIfChanged();
    if (again.isEmpty()) return true;
    Prompts().Error(this, again);
    return false;
  }
  if (choice == 1) {
    TFileDialogState state;
    state.Title = U(res::SaveDescriptionAsTitle);
    state.Filter = U(res::DescriptionFilter);
    state.DefaultExt = QStringLiteral("html");
    state.FileName = editor->FileName();
    state.InitialDir = FFolders.DocumentsDir();
    const QString chosen = Prompts().SaveFileName(this, state);
    if (chosen.isEmpty()) return false;
    const QString failed = SaveDescriptionAs(pnl_Edit->Element(), chosen);
    if (failed.isEmpty()) return true;
    Prompts().Error(this, failed);
    return false;
  }
  if (choice == 2) {
    editor->DiscardChanges();
    return true;
  }
  return false;  // the question was closed: nothing is thrown away
}

bool Tfrm_MainForm::LeaveHTMLDescription() {
  if (!KeepHTMLDescription()) return false;
  HTMLEditor()->ShowFile(QString());
  return true;
}

QString Tfrm_MainForm::SaveDescriptionAs(TXMLNode* experience, const QString& chosen) {
  const QString path = QFileInfo(chosen).absoluteFilePath();
  const std::string stored = DocumentFileName(path);
  if (ToUi(stored) != path) return U(res::DescriptionPathNotStorable).arg(path);
  const std::string native = path.toUtf8().toStdString();
  const std::string canonical = CanonicalFileName(native);
  const std::string own = CanonicalFileName(HTMLEditor()->FileName().toUtf8().toStdString());
  if (IsOwnFile(native) || FJournals.Find(native) ||
      (canonical != own && DescriptionFilesNamed().count(canonical)))
    return U(res::DescriptionPathInUse).arg(path);
  if (QString error = HTMLEditor()->WriteAs(path); !error.isEmpty()) return error;
  experience->SetAttribute(smr::atFile, stored);
  std::erase_if(FDescriptionOwners, [&](const auto& entry) { return entry.second == experience; });
  FDescriptionOwners[canonical] = experience;
  return {};
}

QString Tfrm_MainForm::SaveOrRecoverHTMLDescription() {
  if (!ShowsHTMLDescription()) return {};
  THTMLEditor* editor = HTMLEditor();
  const QString failed = editor->WriteIfChanged();
  if (failed.isEmpty()) return {};
  // Nobody can be asked now: the text goes where the user keeps the diary,
  // or failing that beside the settings or into the temporary folder.
  const QFileInfo original(editor->FileName());
  QString tried, reason;
  for (const QString& dir : {FFolders.DocumentsDir(), FFolders.SettingsDir(), QDir::tempPath()}) {
    QString name;
    for (int copy = 1; name.isEmpty() || QFileInfo::exists(name); ++copy)
      name = QDir(dir).filePath(original.completeBaseName() + QStringLiteral(".recovered") +
                                (copy > 1 ? QStringLiteral("-%1").arg(copy) : QString()) +
                                QStringLiteral(".html"));
    reason = editor->WriteAs(name);
    if (reason.isEmpty()) return U(res::DescriptionRecovered).arg(failed, name);
    tried = name;
  }
  return U(res::DescriptionLost).arg(failed, tried, reason);
}

void Tfrm_MainForm::ForgetDescriptionOwners(const TXMLNode* removed) {
  std::erase_if(FDescriptionOwners,
                [&](const auto& entry) { return !removed || Holds(removed, entry.second); });
}
