#pragma once

#include <QDateTime>
#include <QIcon>
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <QVector>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "editor/smr_HTMLEditor.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_OptionsCommand.h"
#include "mainwindow/smr_Prompts.h"
#include "mainwindow/smr_StatisticsView.h"
#include "search/smr_LibrarySearch.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_DatedBackups.h"
#include "storage/smr_JournalHash.h"
#include "storage/smr_RecoveryStore.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_StoredPath.h"
#include "storage/smr_XMLPairList.h"
#include "xml/xml_mainUnit.h"

class TSealKeyring;

class QAction;
class QDockWidget;
class QFileSystemWatcher;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class Tfrm_DreamProperties;
class TRecoveryCopies;
class TSearchPanel;
class TPatternsView;
class TDreamSignHighlighter;

// The main window: owns the settings document, the open library, the table
// of journal documents and the pairs that tie library `file` elements to
// journal roots. Every edit goes straight into the documents in memory;
// files change only on Save, Save As, New, Open and when the window closes.
class Tfrm_MainForm : public QMainWindow, private TSearchHost {
  Q_OBJECT

 public:
  // folders name the settings and the shipped files (empty.bmp, icons,
  // help); on an installed program's first run the window has them set up.
  // prompts may be null for the real dialogs; tests pass a scripted one.
  explicit Tfrm_MainForm(const TAppFolders& folders, std::unique_ptr<TPrompts> prompts = nullptr,
                         QWidget* parent = nullptr);
  // A portable folder holding dreams.ini and empty.bmp (with or without trailing '/').
  explicit Tfrm_MainForm(const QString& programDir, std::unique_ptr<TPrompts> prompts = nullptr,
                         QWidget* parent = nullptr)
      : Tfrm_MainForm(TAppFolders(programDir), std::move(prompts), parent) {}
  ~Tfrm_MainForm() override;

  // Set when a failed log-in ended the program while the window was built.
  bool Terminated() const { return FTerminated; }

  // Documents, for the export command, the tools and tests.
  TXMLParser& Settings() { return *FSettings; }
  TXMLParser& Library() { return *FLibrary; }
  TJournalHash& Journals() { return FJournals; }
  TXMLPairList& Pairs() { return FPairs; }
  TPrompts& Prompts() { return *FPrompts; }
  const TAppFolders& Folders() const { return FFolders; }

  // The element a tree item carries.
  static TXMLNode* ElementOf(const QTreeWidgetItem* item);
  QTreeWidgetItem* CurrentNode() const { return FCurrentNode; }
  bool ConfirmDelete() const { return FConfirmDelete; }
  int ExperienceView() const { return FExperienceView; }
  int NextExperienceNumber() const { return FNextExperienceNumber; }

  // Saves settings, library and every journal; shows failures. False when
  // anything failed.
  bool SaveEverything();
  // The session is ending (logout, shutdown): writes what it can without
  // asking anything, prints each failure to standard error and lets the
  // window close. The exit status: 0 when everything was written.
  int EndSession();

  // Recovery copies of unsaved edits (smr_MainForm_Recovery.cpp): tests
  // shorten the waits. Milliseconds.
  void SetRecoveryDelays(int afterTyping, int atMost, int pause = 300);
  // Dated backups read the day from here; tests move it.
  void SetClock(std::function<QDateTime()> clock) { FClock = std::move(clock); }

 public slots:
  // File commands
  void btn_NewClick();
  void btn_OpenClick();
  void btn_SaveClick();
  void mnu_SaveAsClick();
  void btn_AuthorizationClick();
  void mnu_ExportClick();
  void mnu_ImportClick();
  void mnu_OptionsClick() { RunOptionsCommand(*this); }
  // Brings back a dated backup of the library or of one journal.
  void mnu_RestoreBackupClick();
  // Encryption of the open library's files at rest.
  void mnu_EncryptLibraryClick();
  void mnu_ChangePassphraseClick();
  void mnu_DecryptLibraryClick();
  // Edit commands
  void btn_CreateClick();
  void btn_Tool_01Click();  // create catalogue
  void btn_Tool_02Click();  // create journal
  void btn_Tool_03Click();  // create night
  void btn_Tool_04Click();  // create experience
  void btn_MoveUpClick();
  void btn_MoveDownClick();
  void btn_DeleteClick();
  // Shows the search panel with the caret in its query (smr_MainForm_Search.cpp).
  void mnu_FindClick();
  void mnu_PatternsClick();
  // Help commands
  void btn_Tool_05Click();  // about
  void mnu_ShowHelpClick();
  void mnu_InternetClick();

  // Handlers of the editing panel, which does the work
  void edt_NumberChange() { pnl_Edit->edt_NumberChange(); }
  void edt_NameChange() { pnl_Edit->edt_NameChange(); }
  void mmo_DescriptionChange() { pnl_Edit->mmo_DescriptionChange(); }
  void mmo_CommentChange() { pnl_Edit->mmo_CommentChange(); }
  void box_Label1Click() { pnl_Edit->box_Label1Click(); }
  void box_Label2Click() { pnl_Edit->box_Label2Click(); }
  void box_Label3Click() { pnl_Edit->box_Label3Click(); }
  void box_Label4Click() { pnl_Edit->box_Label4Click(); }
  void trb_EnergyChange() { pnl_Edit->trb_EnergyChange(); }
  void lbl_HighEnergyLevelDblClick() { pnl_Edit->lbl_HighEnergyLevelDblClick(); }
  void lbl_ZeroEnergyLevelDblClick() { pnl_Edit->lbl_ZeroEnergyLevelDblClick(); }
  void lbl_LowEnergyLevelDblClick() { pnl_Edit->lbl_LowEnergyLevelDblClick(); }
  void btn_LoadImageClick() { pnl_Edit->btn_LoadImageClick(); }
  void btn_ClearImageClick() { pnl_Edit->btn_ClearImageClick(); }
  void btn_ReadOnlyClick() { pnl_Edit->btn_ReadOnlyClick(); }
  // The properties of the shown experience (smr_MainForm_Properties.cpp).
  void btn_DreamPropertiesClick();

  // Handlers of the statistics view, which does the work
  void btn_Refresh_1Click() { pnl_Statistics->btn_Refresh_1Click(); }
  void btn_Refresh_2Click() { pnl_Statistics->btn_Refresh_2Click(); }
  void btn_Refresh_3Click() { pnl_Statistics->btn_Refresh_3Click(); }
  void mnu_RefreshAllClick() { pnl_Statistics->mnu_RefreshAllClick(); }

  // Handlers of the HTML description editor, which does the work
  void pgc_HTMLEditorChanging(int index) { HTMLEditor()->pgc_HTMLEditorChanging(index); }
  void btn_HTML_NewClick() { HTMLEditor()->btn_HTML_NewClick(); }
  void btn_HTML_SaveClick() { HTMLEditor()->btn_HTML_SaveClick(); }
  void btn_HTML_UndoClick() { HTMLEditor()->btn_HTML_UndoClick(); }
  void btn_HTML_BoldClick() { HTMLEditor()->btn_HTML_BoldClick(); }
  void btn_HTML_ItalicClick() { HTMLEditor()->btn_HTML_ItalicClick(); }
  void btn_HTML_UnderlinedClick() { HTMLEditor()->btn_HTML_UnderlinedClick(); }
  void btn_HTML_PClick() { HTMLEditor()->btn_HTML_PClick(); }
  void btn_HTML_BRClick() { HTMLEditor()->btn_HTML_BRClick(); }
  void btn_HTML_AClick() { HTMLEditor()->btn_HTML_AClick(); }
  void btn_HTML_IMGClick() { HTMLEditor()->btn_HTML_IMGClick(); }
  void InsertTag(const QString& opening, const QString& closing) {
    HTMLEditor()->InsertTag(opening, closing);
  }
  void LoadHTMLFile(const QString& path) { HTMLEditor()->LoadHTMLFile(path); }
  // Opens the library or the selected journal in the web browser.
  void btn_ViewInBrowserClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Notes the user's keys and clicks anywhere in the program: a recovery copy becomes due.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // --- construction (smr_MainForm.cpp)
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateTree();
  // The captions the mark boxes show now.
  std::array<QString, 4> MarkCaptions() const;
  QAction* MakeAction(const char* objectName, const QString& caption, const QKeySequence& shortcut,
                      void (Tfrm_MainForm::*handler)());

  // --- lifecycle (smr_MainForm_Lifecycle.cpp)
  void LoadSettings();
  void ApplySettings();
  void ApplySetting(const TIconSetting& icon);
  void ApplySetting(const TMarkCaptionsSetting& marks);
  void ApplySetting(const TFormSetting& form);
  void ApplySetting(const TOptionsSetting& options);
  void ApplySetting(const TLibrarySetting& library);
  // A log-in the user already gave for this library (name and password
  // as stored) is not asked again.
  void OpenLibrary(const std::string& path, const std::string& acceptedLogin = {});
  void RecordLibraryPath(const std::string& path);
  void ClearTree();
  // Clears the tree and replaces the library document (already saved).
  void DropLibrary(std::unique_ptr<TXMLParser> replacement);
  void WriteFormBounds();
  // Throws TXMLWriteError, also when the file could not be read at start.
  void SaveDocument(TXMLParser& document);
  // Saves settings, library and journals; the text of each failure.
  QStringList SaveAllDocuments();
  void WarnIfBadlyRead(const TXMLParser& document);
  // Fills the dream properties dialog from the settings' form description.
  void ApplyDreamForms();
  bool FileNamed(const TXMLParser& document) const { return !document.FileName.empty(); }
  // The settings file or the open library's file, whatever the spelling.
  bool IsOwnFile(const std::string& nativeName) const;
  // Checks the file chosen for a new library before anything is written.
  bool MayWriteNewLibrary(const std::string& nativeName, const QString& shown);

  // --- tree and selection (smr_MainForm_Tree.cpp)
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int image,
                           TXMLNode* element);
  void BuildSubtree(QTreeWidgetItem* parent, TXMLNode* element);
  // Builds the items of an element's subtree without inserting them, so a
  // large journal goes into the tree in one step; journals marked default
  // are collected for selection once they are in the tree.
  QTreeWidgetItem* MakeSubtree(TXMLNode* element, QList<QTreeWidgetItem*>& defaults);
  QTreeWidgetItem* MakeNode(const QString& text, int image, TXMLNode* element);
  // Reads the journal (through the table), builds its nights under the
  // node (when there is one) and pairs it; returns the journal's root. Null
  // when the journal is shown under another `file` element already: the
  // node then stays a journal that cannot be opened.
  TXMLNode* OpenJournal(QTreeWidgetItem* node, TXMLNode* fileElement);
  // Where the paths the library and its journals store lead.
  TStoredPaths StoredPaths() const;
  // The file a stored journal path names (native name).
  std::string JournalFileName(const std::string& storedPath) const;
  // Whether any `file` element of the library names that file.
  bool LibraryNamesJournal(const std::string& nativeName) const;
  // A stored path for a new journal beside the library, named after baseName,
  // that no file and no journal of the program has yet.
  std::string FreeJournalPath(const QString& baseName) const;
  // Every `file` element of the library that has a path, in file order.
  void EachFileElement(const std::function<void(const TXMLNode&)>& visit) const;
  // The first `file` element naming that file (native name), or null.
  const TXMLNode* FileElementNaming(const std::string& nativeName) const;
  // A catalogue's journal for its statistics: opened as a selection opens
  // it, but not made the default; null when it has no file.
  TXMLNode* JournalForStatistics(TXMLNode& fileElement);
  void ShowJournalStatistics(TXMLNode* root) { pnl_Statistics->ShowJournalStatistics(root); }
  void ShowNightStatistics(TXMLNode* night) { pnl_Statistics->ShowNightStatistics(night); }
  void ShowCatalogueStatistics(TXMLNode* catalogue) {
    pnl_Statistics->ShowCatalogueStatistics(catalogue);
  }
  void SetNodeImage(QTreeWidgetItem* item, int image);
  void tre_DirectoryChange(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void SelectNode(QTreeWidgetItem* item);
  void MarkDefault(TXMLNode* fileElement);
  void ShowKind(TElementKind kind, TXMLNode* element);
  void SetCommands(TElementKind kind);
  // Edit menu and pop-up items together, and the pop-up's button.
  void SetCreateCommands(bool catalogue, bool journal, bool night, bool experience);
  void SetMoveCommands(QTreeWidgetItem* item);
  // The library `file` element of a journal root, or the element itself.
  TXMLNode* LibrarySideElement(TXMLNode* element) const;

 public:
  static int CountExperiences(const TXMLNode* element);
  // The message shown for a failed write: the file, then the system's words.
  static QString WriteErrorText(const QString& fileName, const TXMLWriteError& error);
  // "number. title" of an experience's tree node.
  static QString ExperienceCaption(const TXMLNode* experience) {
    return TEditPanel::ExperienceCaption(experience);
  }

 private:
  // --- HTML descriptions (smr_MainForm_Description.cpp)
  THTMLEditor* HTMLEditor() const { return pnl_Edit->pnl_HTMLEditor; }
  bool ShowsHTMLDescription() const;
  // Shows an HTML experience's page; a file another experience shown
  // before also names is shown read-only.
  void ShowHTMLDescription(const TXMLNode* experience);
  // Writes the description shown when it was changed. When that fails the
  // text is kept and the user chooses: try again, save it elsewhere, or
  // throw the changes away. False: the user stays with the text.
  bool KeepHTMLDescription();
  // The same, then the editor lets go of the file.
  bool LeaveHTMLDescription();
  // The session ends: the changed description goes into its file, or else
  // into a recovery file. What to tell on standard error; empty when written.
  QString SaveOrRecoverHTMLDescription();
  // Writes the shown description to a file the user chose and makes it the
  // experience's file; the failure's message, or empty.
  QString SaveDescriptionAs(TXMLNode* experience, const QString& chosen);
  // The file an HTML experience's `file` names; empty without one.
  QString HTMLFileName(const TXMLNode* experience) const;
  // Drops the owners held in a removed element; all of them for null.
  void ForgetDescriptionOwners(const TXMLNode* removed);
  // The files the experiences of every loaded journal name, canonical.
  std::set<std::string> DescriptionFilesNamed() const;
  // "number. title" with the night and the journal, for messages.
  QString ExperiencePlace(const TXMLNode* experience) const;
  // A number no experience of the journal has: its count plus one, or the
  // next free one above.
  static int ProposedExperienceNumber(const TXMLNode* root);

  // --- files another program writes (smr_MainForm_Disk.cpp)
  // Watches the library and each journal read, so that another program's
  // write is noticed while the window runs.
  void WatchFile(const TXMLParser& document);
  void FileChangedOnDisk(const QString& path);
  // A selected item whose file another program changed: its new version is
  // shown once the selection is done, or the user is told that both changed.
  void CheckChangedOnDisk(QTreeWidgetItem* current);
  void ReloadJournal(TXMLNode* fileElement);
  void ReloadLibrary();
  // Reads the library file again, and those journals (native names), in
  // place of the documents in memory, without asking the log-in again.
  void ReopenLibrary(const std::vector<std::string>& journals);

  // --- recovery copies (smr_MainForm_Recovery.cpp)
  void CreateRecovery();
  // The documents the user may be changing now: the settings, the library
  // and the journal of the selected item.
  void NoteActivity();
  TXMLParser* JournalDocumentOf(QTreeWidgetItem* item) const;
  // The item of the opened journal that holds the item, or null.
  static QTreeWidgetItem* JournalItemOf(QTreeWidgetItem* item);
  // Starts building the edited documents' texts for the writer; they are
  // built a little at a time between the user's keys (StepRecoveryCopies)
  // and begun again when the user changed something meanwhile.
  void WriteRecoveryCopies();
  void StepRecoveryCopies();
  // The texts begun are dropped; their documents wait for the next copy.
  void AbandonRecoveryCopies(bool stillEdited);
  void RecoveryFailed(const QString& message);
  // After a save: the copies of the documents written go.
  void ForgetRecoveryCopies(const std::vector<TXMLParser*>& written, bool all);
  // At start: copies newer than the library's files are offered back. The
  // library's root may be replaced; the settings only while starting.
  void OfferRecovery();
  bool ApplyRecoveryCopy(const TRecoveryStore::TEntry& entry);
  // The captions and options of settings brought back from a copy.
  void ApplyRecoveredSettings();
  QString RecoveryCaption(const TRecoveryStore::TEntry& entry) const;

  // --- dated backups (smr_MainForm_Backups.cpp)
  TDatedBackups Backups() const;
  // Before the first save of a day: copies the library's files; a failure
  // is told once and never stops the save.
  void MakeDailyBackup();
  // The library file and every journal file it names that exists.
  QStringList LibraryFiles() const;

  // --- encryption (smr_MainForm_Encryption.cpp)
  // Asks the passphrase of a sealed library (three tries); false when it
  // stays locked. A plain library drops the seal of the one before.
  bool UnlockLibrary(const std::string& path);
  // Finishes a job a crash or a failure cut off, when the user agrees.
  void OfferToFinishSealing();
  // Every file holding the library's text: its file, journals, description
  // files, their backups and conflict copies, dated backups, recovery copies.
  QStringList SealableFiles(bool libraryFirst) const;
  // Rewrites them sealed with `to` (null: plain); true when all were done.
  bool RunSealing(bool seal, const std::shared_ptr<const TSealKeyring>& from,
                  const std::shared_ptr<const TSealKeyring>& to, const char* doneText);
  // Asks the passphrase and checks it against the library's key.
  bool PassphraseFits(const QString& passphrase) const;
  void EnableSealingCommands();
  // Saves everything before a job; false (and said) when it could not.
  bool SavedBeforeSealing();

  // --- search (smr_MainForm_Search.cpp): the panel reaches the documents
  // through these, and shows a hit through the tree.
  const TXMLNode* LibraryRoot() override;
  const TXMLNode* Journal(const TXMLNode& file, std::string& fileToRead) override;
  const TXMLNode* Adopt(const TXMLNode& file, std::unique_ptr<TXMLParser> document) override;
  std::string DescriptionFile(const std::string& stored) override {
    return JournalFileName(stored);
  }
  THTMLTexts::TResolve DetachedDescriptionFile() override {
    return [paths = StoredPaths()](const std::string& stored) { return paths.Resolve(stored); };
  }
  void CreateSearchPanel();
  void ShowSearchHit(const TSearchHit& hit, const TSnippet& snippet);
  // The tree item of a night of a journal (read now when it was not), or null.
  QTreeWidgetItem* NightItem(const TXMLNode* file, const TXMLNode* night);
  // The patterns view and the dream signs (smr_MainForm_Patterns.cpp).
  void CreatePatternsView();
  void ShowPatterns();
  // Before anything shown in the patterns may go.
  void ForgetPatterns();
  void ShowPatternNight(const TXMLNode* file, const TXMLNode* night);
  void SearchDreamSign(const QString& text);
  // The library's signs changed or another library came: the fields follow.
  void ApplyDreamSigns();

  // --- edit commands (smr_MainForm_Edit.cpp)
  void CreateChildCommon(TXMLNode* element, QTreeWidgetItem* node, const QString& caption,
                         int image);
  // A catalogue or a night: asks for its name, appends it and shows it.
  void CreateNamedChild(QTreeWidgetItem* node, TXMLNode* parent, int mode, std::string_view name,
                        int image);
  std::string MakeHTMLFileName(const std::string& number);
  void RemoveElement(QTreeWidgetItem* node);
  void MoveNode(int step);  // -1 up, +1 down
  // Settles the file of a new journal, asking before an existing one is
  // replaced. root: the new journal's root, or null when the existing
  // journal is attached as it is (the tree opens it). False: stop, nothing added.
  bool PrepareJournal(const std::string& path, TXMLNode*& root);

 public:
  // The tree's width as the user set it (dragging the splitter, the
  // settings, the options); a dock or a resized window leaves it alone.
  int TreeWidth() const { return FTreeWidth; }
  void SetTreeWidth(int width);

  // --- controls, named as in the program's forms
  QSplitter* spl_Main = nullptr;
  QTreeWidget* tre_Directory = nullptr;
  QWidget* pnl_WorkArea = nullptr;
  QToolBar* tlb_Main = nullptr;

  QMenu* mnu_File = nullptr;
  QMenu* mnu_Edit = nullptr;
  QMenu* mnu_View = nullptr;
  QMenu* mnu_Help = nullptr;
  QMenu* mnu_Create = nullptr;  // pop-up of btn_Create

  QAction* mnu_New = nullptr;
  QAction* mnu_Open = nullptr;
  QAction* mnu_Save = nullptr;
  QAction* mnu_SaveAs = nullptr;
  QAction* mnu_Export = nullptr;
  QAction* mnu_Import = nullptr;
  QAction* mnu_Authorization = nullptr;
  QAction* mnu_Options = nullptr;
  QAction* mnu_RestoreBackup = nullptr;
  QAction* mnu_EncryptLibrary = nullptr;
  QAction* mnu_ChangePassphrase = nullptr;
  QAction* mnu_DecryptLibrary = nullptr;
  QAction* mnu_Exit = nullptr;
  // Create items of the Edit menu and of the pop-up (enabled together).
  QAction* mnu_CreateDirectory = nullptr;
  QAction* mnu_CreateFile = nullptr;
  QAction* mnu_CreateDay = nullptr;
  QAction* mnu_CreateExperience = nullptr;
  QAction* pmn_CreateDirectory = nullptr;
  QAction* pmn_CreateFile = nullptr;
  QAction* pmn_CreateDay = nullptr;
  QAction* pmn_CreateExperience = nullptr;
  QAction* mnu_MoveUp = nullptr;
  QAction* mnu_MoveDown = nullptr;
  QAction* mnu_Delete = nullptr;
  QAction* mnu_Find = nullptr;
  QAction* mnu_ShowToolBar = nullptr;
  QAction* mnu_RefreshAll = nullptr;
  QAction* mnu_ViewAsHTML = nullptr;
  QAction* mnu_ShowHelp = nullptr;
  QAction* mnu_Internet = nullptr;
  QAction* mnu_About = nullptr;

  QToolButton* btn_New = nullptr;
  QToolButton* btn_Open = nullptr;
  QToolButton* btn_Save = nullptr;
  QToolButton* btn_Create = nullptr;
  QToolButton* btn_MoveUp = nullptr;
  QToolButton* btn_MoveDown = nullptr;
  QToolButton* btn_Delete = nullptr;
  QToolButton* btn_ViewInBrowser = nullptr;
  QToolButton* btn_Authorization = nullptr;
  QToolButton* btn_Tool_05 = nullptr;  // about
  QToolButton* btn_Tool_06 = nullptr;  // exit

  // The editing panel fills the work area and owns its controls.
  TEditPanel* pnl_Edit = nullptr;
  // The graphs of a catalogue, journal or night, behind the panel's fields.
  TStatisticsView* pnl_Statistics = nullptr;
  // The search of the whole library, docked beside the work area.
  QDockWidget* dck_Search = nullptr;
  TSearchPanel* pnl_Search = nullptr;
  QDockWidget* dck_Patterns = nullptr;
  TPatternsView* pnl_Patterns = nullptr;
  QAction* mnu_Patterns = nullptr;
  QToolButton* btn_Patterns = nullptr;
  // Built once from the settings and reused for every experience.
  Tfrm_DreamProperties* frm_DreamProperties = nullptr;

  // Shared by Open and the panel's image button, so both start in the
  // folder last used.
  TFileDialogState dlg_OpenImage;
  TFileDialogState dlg_Save;
  TFileDialogState dlg_Import;
  // The options dialog's file buttons, kept between uses.
  TFileDialogState dlg_OpenFile;

 private:
  // Goes last: the journals write themselves as they go, still sealed.
  struct TSealReset {
    ~TSealReset();
  } FSealReset;
  TAppFolders FFolders;
  std::unique_ptr<TPrompts> FPrompts;
  std::unique_ptr<TXMLParser> FSettings;
  std::unique_ptr<TXMLParser> FLibrary;
  TJournalHash FJournals;
  TXMLPairList FPairs;
  QVector<QIcon> FImages;     // tree image list by index
  QVector<QIcon> FNodeIcons;  // the same as tree nodes show them (selected: picture 0)
  QTreeWidgetItem* FCurrentNode = nullptr;
  TXMLNode* FDefaultFile = nullptr;
  // What the patterns show (the library, a catalogue or a journal), so a
  // click within it computes nothing again.
  const TXMLNode* FPatternsScope = nullptr;
  bool FPatternsPlaced = false;
  TDreamSignHighlighter* FDescriptionSigns = nullptr;  // owned by their documents
  TDreamSignHighlighter* FCommentSigns = nullptr;
  std::vector<std::string> FSignTexts;  // the signs the fields highlight
  bool FSuppressSelection = false;
  bool FConfirmDelete = kConfirmDeleteDefault;
  int FTreeWidth = 240;  // the splitter's first size
  int FExperienceView = kExperienceViewDefault;
  int FNextExperienceNumber = 0;
  bool FTerminated = false;
  bool FSavedOnClose = false;
  // Files another program changed meanwhile, where the window's version
  // went, and saves that may not survive a power cut; told once after the
  // save that found them.
  QStringList FConflicts;
  QFileSystemWatcher* FWatcher = nullptr;
  // Watched files (as watched) written since by someone, this window included.
  QSet<QString> FChangedOnDisk;
  // Files changed both here and by another program, told once.
  QSet<QString> FToldChangedTwice;
  // `file` elements refused as a second view of an open journal, told once.
  std::set<const TXMLNode*> FRefusedFiles;
  // Which experience a description file was first shown for (canonical
  // name): another naming the same file is shown read-only.
  std::map<std::string, const TXMLNode*> FDescriptionOwners;
  TRecoveryCopies* FRecovery = nullptr;
  // The key ring of the unlocked library; null while it is plain.
  std::shared_ptr<const TSealKeyring> FSeal;
  // Documents changed since their last copy, as far as the user's doings tell.
  std::set<const TXMLParser*> FMaybeEdited;
  // The selection NoteActivity last saw and its journal (documents of
  // journals live as long as the window).
  QTreeWidgetItem* FActivityItem = nullptr;
  const TXMLParser* FActivityJournal = nullptr;
  // Counts the user's doings and the window's own changes of documents:
  // a text being built is good only while it stays the same.
  std::uint64_t FEditGeneration = 0;
  struct TRecoveryText {
    const TXMLParser* Document;
    std::unique_ptr<TXMLTextBuilder> Builder;
  };
  std::vector<TRecoveryText> FRecoveryTexts;
  std::uint64_t FRecoveryTextsGeneration = 0;
  QTimer* FRecoveryStep = nullptr;
  // The description file whose copy was written last; empty when none.
  QString FDescriptionCopy;
  // Recovered texts of descriptions, shown as unsaved edits when their
  // experience is selected (canonical file name).
  std::map<std::string, QString> FRecoveredDescriptions;
  bool FStarting = true;
  bool FToldRecoveryFailure = false;
  bool FToldBackupFailure = false;
  std::function<QDateTime()> FClock;
};
