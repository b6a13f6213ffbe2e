#include "mainwindow/smr_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "forms/smr_UserForm.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_QtPrompts.h"
#include "mainwindow/smr_ScaledIcons.h"

namespace {
constexpr int kMinTreeWidth = 200;
constexpr int kMinWorkAreaWidth = 200;

// The style has no lock among its standard icons: draw a small padlock.
void DrawPadlock(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(90, 90, 100), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(5.5, 2, 9, 10), 0, 180 * 16);
  painter.drawLine(QPointF(5.5, 7), QPointF(5.5, 9));
  painter.drawLine(QPointF(14.5, 7), QPointF(14.5, 9));
  painter.setPen(QPen(QColor(150, 110, 20), 1));
  painter.setBrush(QColor(235, 190, 60));
  painter.drawRoundedRect(QRectF(3.5, 8.5, 13, 10), 2, 2);
  painter.setBrush(QColor(90, 70, 20));
  painter.drawEllipse(QPointF(10, 12.5), 1.5, 1.5);
  painter.drawRect(QRectF(9.5, 13, 1, 3));
}
}  // namespace

Tfrm_MainForm::Tfrm_MainForm(const TAppFolders& folders, std::unique_ptr<TPrompts> prompts,
                             QWidget* parent)
    : QMainWindow(parent), FFolders(folders), FPrompts(std::move(prompts)) {
  setObjectName("frm_MainForm");
  setWindowTitle(QStringLiteral("Somnary"));
  setMinimumSize(640, 480);
  resize(800, 600);
  if (!FPrompts) FPrompts = std::make_unique<TQtPrompts>();

  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateTree();
  pnl_Edit = new TEditPanel(pnl_WorkArea, FFolders.DataDir(), FPairs, *FPrompts, dlg_OpenImage);
  pnl_Edit->PictureFile = [this](const std::string& stored) {
    return StoredPaths().ResolveUi(stored);
  };
  frm_DreamProperties = new Tfrm_DreamProperties(this);
  connect(pnl_Edit->btn_DreamProperties, &QPushButton::clicked, this,
          &Tfrm_MainForm::btn_DreamPropertiesClick);
  connect(pnl_Edit, &TEditPanel::CaptionChanged, this, [this](const QString& caption) {
    if (FCurrentNode) FCurrentNode->setText(0, caption);
  });
  TStatisticsView::TSources sources;
  sources.MarkCaptions = [this] { return MarkCaptions(); };
  sources.Journal = [this](TXMLNode& file) { return JournalForStatistics(file); };
  pnl_Statistics = new TStatisticsView(pnl_Edit, pnl_Edit->bvl_Border, *FPrompts,
                                       SystemGraphLocale(), std::move(sources));
  pnl_Statistics->WidthNeeded = [this](int width) { pnl_Edit->SetGraphsWidth(width); };
  CreateSearchPanel();
  CreatePatternsView();
  CreateRecovery();
  FWatcher = new QFileSystemWatcher(this);
  connect(FWatcher, &QFileSystemWatcher::fileChanged, this, &Tfrm_MainForm::FileChangedOnDisk);

  dlg_OpenImage.Title = QString::fromUtf8(res::OpenImageTitle);
  dlg_OpenImage.Filter = QString::fromUtf8(res::ImageFilter);
  dlg_OpenImage.DefaultExt = QStringLiteral("bmp");
  dlg_OpenImage.InitialDir = FFolders.DocumentsDir();
  dlg_Save.InitialDir = FFolders.DocumentsDir();
  dlg_Import.InitialDir = FFolders.DocumentsDir();

  // No library yet: only New and Open have something to act on.
  SetCommands(ekLibrary);
  SetCreateCommands(false, false, false, false);
  for (QAction* a : {mnu_SaveAs, mnu_Export, mnu_Import, mnu_Authorization, mnu_RestoreBackup,
                     mnu_EncryptLibrary, mnu_ChangePassphrase, mnu_DecryptLibrary})
    a->setEnabled(false);
  mnu_MoveUp->setEnabled(false);
  mnu_MoveDown->setEnabled(false);
  mnu_Delete->setEnabled(false);

  LoadSettings();
  ApplySettings();
  ApplyDreamForms();
  FStarting = false;
}

std::array<QString, 4> Tfrm_MainForm::MarkCaptions() const {
  return {pnl_Edit->box_Label1->text(), pnl_Edit->box_Label2->text(), pnl_Edit->box_Label3->text(),
          pnl_Edit->box_Label4->text()};
}

QAction* Tfrm_MainForm::MakeAction(const char* objectName, const QString& caption,
                                   const QKeySequence& shortcut, void (Tfrm_MainForm::*handler)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(objectName));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (handler) connect(action, &QAction::triggered, this, handler);
  return action;
}

void Tfrm_MainForm::CreateActions() {
  auto u = [](const char* s) { return QString::fromUtf8(s); };
  QStyle* st = style();
  mnu_New = MakeAction("mnu_New", u("&Новая библиотека..."), QKeySequence::New,
                       &Tfrm_MainForm::btn_NewClick);
  mnu_New->setIcon(st->standardIcon(QStyle::SP_FileIcon));
  mnu_Open = MakeAction("mnu_Open", u("&Открыть библиотеку..."), QKeySequence::Open,
                        &Tfrm_MainForm::btn_OpenClick);
  mnu_Open->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
  mnu_Save =
      MakeAction("mnu_Save", u("&Сохранить"), QKeySequence::Save, &Tfrm_MainForm::btn_SaveClick);
  mnu_Save->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
  mnu_SaveAs =
      MakeAction("mnu_SaveAs", u("Сохранить &как..."), {}, &Tfrm_MainForm::mnu_SaveAsClick);
  mnu_Export = MakeAction("mnu_Export", u("&Экспорт..."), {}, &Tfrm_MainForm::mnu_ExportClick);
  mnu_Import = MakeAction("mnu_Import", u(res::ImportCommand), {}, &Tfrm_MainForm::mnu_ImportClick);
  mnu_Authorization =
      MakeAction("mnu_Authorization", u("А&вторизация..."), QKeySequence(u("Ctrl+Shift+P")),
                 &Tfrm_MainForm::btn_AuthorizationClick);
  mnu_Authorization->setIcon(DrawnIcon(QSize(20, 20), DrawPadlock));
  mnu_Options = MakeAction("mnu_Options", u("&Параметры"), QKeySequence(u("Ctrl+P")),
                           &Tfrm_MainForm::mnu_OptionsClick);
  mnu_RestoreBackup = MakeAction("mnu_RestoreBackup", u(res::RestoreBackupCommand), {},
                                 &Tfrm_MainForm::mnu_RestoreBackupClick);
  mnu_EncryptLibrary = MakeAction("mnu_EncryptLibrary", u(res::EncryptCommand), {},
                                  &Tfrm_MainForm::mnu_EncryptLibraryClick);
  mnu_ChangePassphrase = MakeAction("mnu_ChangePassphrase", u(res::ChangePassphraseCommand), {},
                                    &Tfrm_MainForm::mnu_ChangePassphraseClick);
  mnu_DecryptLibrary = MakeAction("mnu_DecryptLibrary", u(res::DecryptCommand), {},
                                  &Tfrm_MainForm::mnu_DecryptLibraryClick);
  mnu_Exit = MakeAction("mnu_Exit", u("В&ыход"), {}, nullptr);
  mnu_Exit->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
  connect(mnu_Exit, &QAction::triggered, this, &QWidget::close);

  mnu_CreateDirectory =
      MakeAction("mnu_CreateDirectory", u("Создать &каталог"), QKeySequence(Qt::CTRL | Qt::Key_F1),
                 &Tfrm_MainForm::btn_Tool_01Click);
  mnu_CreateFile =
      MakeAction("mnu_CreateFile", u("Создать &журнал"), QKeySequence(Qt::CTRL | Qt::Key_F2),
                 &Tfrm_MainForm::btn_Tool_02Click);
  mnu_CreateDay = MakeAction("mnu_CreateDay", u("Создать &ночь"),
                             QKeySequence(Qt::CTRL | Qt::Key_F3), &Tfrm_MainForm::btn_Tool_03Click);
  mnu_CreateExperience =
      MakeAction("mnu_CreateExperience", u("Создать &опыт"), QKeySequence(Qt::CTRL | Qt::Key_F4),
                 &Tfrm_MainForm::btn_Tool_04Click);
  // The pop-up items show the same shortcuts but do not own them twice.
  pmn_CreateDirectory = MakeAction("pmn_CreateDirectory", u("Создать &каталог"), {},
                                   &Tfrm_MainForm::btn_Tool_01Click);
  pmn_CreateFile =
      MakeAction("pmn_CreateFile", u("Создать &журнал"), {}, &Tfrm_MainForm::btn_Tool_02Click);
  pmn_CreateDay =
      MakeAction("pmn_CreateDay", u("Создать &ночь"), {}, &Tfrm_MainForm::btn_Tool_03Click);
  pmn_CreateExperience =
      MakeAction("pmn_CreateExperience", u("Создать &опыт"), {}, &Tfrm_MainForm::btn_Tool_04Click);
  mnu_MoveUp =
      MakeAction("mnu_MoveUp", u("Переместить ввер&х"), {}, &Tfrm_MainForm::btn_MoveUpClick);
  mnu_MoveUp->setIcon(st->standardIcon(QStyle::SP_ArrowUp));
  mnu_MoveDown =
      MakeAction("mnu_MoveDown", u("Переместить вни&з"), {}, &Tfrm_MainForm::btn_MoveDownClick);
  mnu_MoveDown->setIcon(st->standardIcon(QStyle::SP_ArrowDown));
  mnu_Delete = MakeAction("mnu_Delete", u("&Удалить"), QKeySequence(Qt::CTRL | Qt::Key_D),
                          &Tfrm_MainForm::btn_DeleteClick);
  mnu_Delete->setIcon(st->standardIcon(QStyle::SP_TrashIcon));
  mnu_Find = MakeAction("mnu_Find", u(res::FindCommand), QKeySequence::Find,
                        &Tfrm_MainForm::mnu_FindClick);

  mnu_ViewAsHTML = MakeAction("mnu_ViewAsHTML", u("&Просмотр в виде HTML"), {},
                              &Tfrm_MainForm::btn_ViewInBrowserClick);
  mnu_ViewAsHTML->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
  mnu_Patterns =
      MakeAction("mnu_Patterns", u(res::PatternsCommand), {}, &Tfrm_MainForm::mnu_PatternsClick);
  mnu_Patterns->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));

  mnu_ShowHelp = MakeAction("mnu_ShowHelp", u("&Справка"), QKeySequence(Qt::Key_F1),
                            &Tfrm_MainForm::mnu_ShowHelpClick);
  mnu_Internet =
      MakeAction("mnu_Internet", u("&В Internet"), {}, &Tfrm_MainForm::mnu_InternetClick);
  mnu_About = MakeAction("mnu_About", u("&О Программе..."), {}, &Tfrm_MainForm::btn_Tool_05Click);
  mnu_About->setIcon(st->standardIcon(QStyle::SP_MessageBoxInformation));
}

void Tfrm_MainForm::CreateMenus() {
  auto u = [](const char* s) { return QString::fromUtf8(s); };
  mnu_File = menuBar()->addMenu(u("&Файл"));
  mnu_File->setObjectName("mnu_File");
  mnu_File->addActions({mnu_New, mnu_Open, mnu_Save, mnu_SaveAs});
  mnu_File->addSeparator();
  mnu_File->addAction(mnu_Export);
  mnu_File->addAction(mnu_Import);
  mnu_File->addAction(mnu_RestoreBackup);
  mnu_File->addSeparator();
  mnu_File->addAction(mnu_Authorization);
  mnu_File->addAction(mnu_EncryptLibrary);
  mnu_File->addAction(mnu_ChangePassphrase);
  mnu_File->addAction(mnu_DecryptLibrary);
  mnu_File->addAction(mnu_Options);
  mnu_File->addSeparator();
  mnu_File->addAction(mnu_Exit);

  mnu_Edit = menuBar()->addMenu(u("&Правка"));
  mnu_Edit->setObjectName("mnu_Edit");
  mnu_Edit->addActions({mnu_CreateDirectory, mnu_CreateFile, mnu_CreateDay, mnu_CreateExperience});
  mnu_Edit->addSeparator();
  mnu_Edit->addActions({mnu_MoveUp, mnu_MoveDown});
  mnu_Edit->addSeparator();
  mnu_Edit->addAction(mnu_Delete);
  mnu_Edit->addSeparator();
  mnu_Edit->addAction(mnu_Find);

  mnu_View = menuBar()->addMenu(u("&Вид"));
  mnu_View->setObjectName("mnu_View");
  mnu_ShowToolBar = mnu_View->addAction(u("&Панель инструментов"));
  mnu_ShowToolBar->setObjectName("mnu_ShowToolBar");
  mnu_ShowToolBar->setCheckable(true);
  mnu_ShowToolBar->setChecked(true);
  mnu_View->addSeparator();
  mnu_RefreshAll = MakeAction("mnu_RefreshAll", u("&Обновить все графики"), {},
                              &Tfrm_MainForm::mnu_RefreshAllClick);
  mnu_RefreshAll->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  mnu_View->addAction(mnu_RefreshAll);
  mnu_View->addAction(mnu_ViewAsHTML);
  mnu_View->addAction(mnu_Patterns);

  mnu_Help = menuBar()->addMenu(u("&Помощь"));
  mnu_Help->setObjectName("mnu_Help");
  mnu_Help->addActions({mnu_ShowHelp, mnu_Internet});
  mnu_Help->addSeparator();
  mnu_Help->addAction(mnu_About);

  mnu_Create = new QMenu(this);
  mnu_Create->setObjectName("mnu_Create");
  mnu_Create->addActions(
      {pmn_CreateDirectory, pmn_CreateFile, pmn_CreateDay, pmn_CreateExperience});
}

void Tfrm_MainForm::CreateToolBar() {
  auto u = [](const char* s) { return QString::fromUtf8(s); };
  tlb_Main = addToolBar(u("Панель инструментов"));
  tlb_Main->setObjectName("tlb_Main");
  tlb_Main->setMovable(false);
  tlb_Main->setIconSize(QSize(20, 20));
  connect(mnu_ShowToolBar, &QAction::toggled, tlb_Main, &QToolBar::setVisible);

  // A tool button mirrors its action: enabling the action enables the button.
  auto button = [&](const char* name, QAction* action, const QString& hint) {
    auto* b = new QToolButton(tlb_Main);
    b->setObjectName(QString::fromLatin1(name));
    b->setDefaultAction(action);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    tlb_Main->addWidget(b);
    return b;
  };
  btn_New = button("btn_New", mnu_New, u("Новая библиотека"));
  btn_Open = button("btn_Open", mnu_Open, u("Открыть библиотеку"));
  btn_Save = button("btn_Save", mnu_Save, u("Сохранить"));
  tlb_Main->addSeparator();

  btn_Create = new QToolButton(tlb_Main);
  btn_Create->setObjectName("btn_Create");
  btn_Create->setToolTip(u("Создать"));
  btn_Create->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  btn_Create->setAutoRaise(true);
  connect(btn_Create, &QToolButton::clicked, this, &Tfrm_MainForm::btn_CreateClick);
  tlb_Main->addWidget(btn_Create);
  btn_MoveUp = button("btn_MoveUp", mnu_MoveUp, u("Перемещение объекта вверх"));
  btn_MoveDown = button("btn_MoveDown", mnu_MoveDown, u("Перемещение объекта вниз"));
  btn_Delete = button("btn_Delete", mnu_Delete, u("Удаление объекта"));
  tlb_Main->addSeparator();
  btn_ViewInBrowser = button("btn_ViewInBrowser", mnu_ViewAsHTML, u("Просмотр в браузере"));
  btn_Patterns = button("btn_Patterns", mnu_Patterns, u(res::PatternsHint));
  tlb_Main->addSeparator();
  btn_Authorization =
      button("btn_Authorization", mnu_Authorization, u("Ввод параметров авторизации"));
  btn_Tool_05 = button("btn_Tool_05", mnu_About, u("О программе"));
  tlb_Main->addSeparator();
  btn_Tool_06 = button("btn_Tool_06", mnu_Exit, u("Выход"));
}

void Tfrm_MainForm::CreateTree() {
  spl_Main = new QSplitter(Qt::Horizontal, this);
  spl_Main->setObjectName("spl_Main");
  spl_Main->setChildrenCollapsible(false);
  tre_Directory = new QTreeWidget(spl_Main);
  tre_Directory->setObjectName("tre_Directory");
  tre_Directory->setHeaderHidden(true);
  tre_Directory->setColumnCount(1);
  tre_Directory->setMinimumWidth(kMinTreeWidth);
  tre_Directory->setIconSize(QSize(16, 16));
  tre_Directory->setEditTriggers(QAbstractItemView::NoEditTriggers);
  connect(tre_Directory, &QTreeWidget::currentItemChanged, this,
          &Tfrm_MainForm::tre_DirectoryChange);
  pnl_WorkArea = new QWidget(spl_Main);
  pnl_WorkArea->setObjectName("pnl_WorkArea");
  // The editing panel scrolls where the work area is narrower than it.
  pnl_WorkArea->setMinimumWidth(kMinWorkAreaWidth);
  spl_Main->addWidget(tre_Directory);
  spl_Main->addWidget(pnl_WorkArea);
  spl_Main->setStretchFactor(0, 0);
  spl_Main->setStretchFactor(1, 1);
  spl_Main->setSizes({FTreeWidth, 560});
  connect(spl_Main, &QSplitter::splitterMoved, this,
          [this] { FTreeWidth = spl_Main->sizes().value(0); });
  setCentralWidget(spl_Main);
}

void Tfrm_MainForm::SetTreeWidth(int width) {
  FTreeWidth = width;
  spl_Main->setSizes({width, std::max(1, spl_Main->width() - width)});
}

void Tfrm_MainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  pnl_Edit->LayoutWorkArea();
}

TXMLNode* Tfrm_MainForm::ElementOf(const QTreeWidgetItem* item) {
  if (!item) return nullptr;
  // The items carry their element's address.
  return reinterpret_cast<TXMLNode*>(  // NOLINT(performance-no-int-to-ptr)
      item->data(0, Qt::UserRole).value<quintptr>());
}
