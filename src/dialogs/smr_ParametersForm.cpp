#include "dialogs/smr_ParametersForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"
#include "storage/smr_LibraryOwner.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"

namespace {

using res::U;

constexpr const char* kIconNames[6] = {"OpenNode", "Library", "Directory",
                                       "File",     "Night",   "Experience"};
constexpr const char* kIconCaptions[6] = {
    "Открытый узел:", "Библиотека:", "Каталог:", "Журнал:", "Ночь:", "Сновидение:"};

// One up-down field: the spin box is `upd_<name>`, its line edit `edt_<name>`.
QSpinBox* UpDown(QWidget* parent, const QString& name, int minimum) {
  auto* box = new QSpinBox(parent);
  box->setObjectName("upd_" + name);
  box->setMinimum(minimum);
  box->setMaximum(minimum);
  box->setAccelerated(true);
  box->setFixedWidth(90);
  box->findChild<QLineEdit*>()->setObjectName("edt_" + name);
  return box;
}

QLineEdit* Edit(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QPushButton* Dots(QWidget* parent, const QString& name) {
  auto* button = new QPushButton(QStringLiteral("..."), parent);
  button->setObjectName(name);
  button->setFixedWidth(28);
  button->setAutoDefault(false);
  return button;
}

QGroupBox* Group(QWidget* parent, const char* caption, const char* name) {
  auto* group = new QGroupBox(U(caption), parent);
  group->setObjectName(QString::fromLatin1(name));
  return group;
}

void Show(QLineEdit* field, const std::optional<std::string>& stored) {
  if (stored) field->setText(ToUi(*stored));
}

std::string Stored(const QLineEdit* field) { return FromUi(field->text(), TTextPlace::Attribute); }

template <std::size_t N>
std::array<std::string, N> StoredTexts(QLineEdit* const (&fields)[N]) {
  std::array<std::string, N> texts;
  for (std::size_t i = 0; i < N; ++i) texts[i] = Stored(fields[i]);
  return texts;
}

}  // namespace

Tfrm_ParametersForm::Tfrm_ParametersForm(QWidget* parent) : QDialog(parent) {
  SetDialogFrame(this);
  setObjectName("frm_ParametersForm");
  setWindowTitle(U("Параметры системы"));

  pgc_Parameters = new QTabWidget(this);
  pgc_Parameters->setObjectName("pgc_Parameters");
  // Five pages: every tab stays in sight, so the dialog widens to them.
  pgc_Parameters->setUsesScrollButtons(false);
  BuildGeneralPage();
  BuildAppearancePage();
  BuildConfirmationsPage();
  BuildUserPage();
  BuildAdditionalPage();

  MakeOkCancel(this, QStringLiteral("OK"), U("Отмена"), btn_Ok, btn_Cancel);
  btn_Cancel->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btn_Ok);
  buttons->addWidget(btn_Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pgc_Parameters);
  layout->addLayout(buttons);
  setFixedSize(std::max(560, sizeHint().width()), 440);
  FormCreate(QSize(640, 480));
}

QWidget* Tfrm_ParametersForm::AddPage(const char* name, const char* caption) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  pgc_Parameters->addTab(page, U(caption));
  return page;
}

void Tfrm_ParametersForm::BuildGeneralPage() {
  tsh_General = AddPage("tsh_General", "Общие свойства");
  auto* group = Group(tsh_General, " Главная форма ", "grp_MainForm");
  upd_XCoordinate = UpDown(group, "XCoordinate", 0);
  upd_YCoordinate = UpDown(group, "YCoordinate", 0);
  upd_Width = UpDown(group, "Width", 640);
  upd_Height = UpDown(group, "Height", 480);
  upd_TreeWidth = UpDown(group, "TreeWidth", 0);
  auto* fields = new QFormLayout(group);
  fields->addRow(U("X-координата верхнего левого угла:"), upd_XCoordinate);
  fields->addRow(U("Y-координата верхнего левого угла:"), upd_YCoordinate);
  fields->addRow(U("Ширина:"), upd_Width);
  fields->addRow(U("Высота:"), upd_Height);
  auto* treeLabel = new QLabel(U("Ширина навигатора по структуре библиотеки сновидений:"), group);
  treeLabel->setWordWrap(true);
  fields->addRow(treeLabel, upd_TreeWidth);

  edt_LibraryFileName = Edit(tsh_General, "edt_LibraryFileName");
  btn_LibraryFileName = Dots(tsh_General, "btn_LibraryFileName");
  connect(btn_LibraryFileName, &QPushButton::clicked, this,
          &Tfrm_ParametersForm::btn_LibraryFileNameClick);
  auto* library = new QHBoxLayout;
  library->addWidget(edt_LibraryFileName);
  library->addWidget(btn_LibraryFileName);
  auto* backups = Group(tsh_General, " Резервные копии ", "grp_Backups");
  box_Backups = new QCheckBox(U(res::OptionsDailyBackups), backups);
  box_Backups->setObjectName("box_Backups");
  edt_BackupFolder = Edit(backups, "edt_BackupFolder");
  edt_BackupFolder->setPlaceholderText(U(res::OptionsBackupFolderDefault));
  btn_BackupFolder = Dots(backups, "btn_BackupFolder");
  connect(btn_BackupFolder, &QPushButton::clicked, this,
          &Tfrm_ParametersForm::btn_BackupFolderClick);
  connect(box_Backups, &QCheckBox::toggled, edt_BackupFolder, &QWidget::setEnabled);
  connect(box_Backups, &QCheckBox::toggled, btn_BackupFolder, &QWidget::setEnabled);
  auto* folder = new QHBoxLayout;
  folder->addWidget(new QLabel(U(res::OptionsBackupFolder), backups));
  folder->addWidget(edt_BackupFolder);
  folder->addWidget(btn_BackupFolder);
  auto* backupRows = new QVBoxLayout(backups);
  backupRows->addWidget(box_Backups);
  backupRows->addLayout(folder);

  auto* page = new QVBoxLayout(tsh_General);
  page->addWidget(group);
  page->addWidget(new QLabel(U("Библиотека сновидений, загружаемая при запуске:"), tsh_General));
  page->addLayout(library);
  page->addWidget(backups);
  page->addStretch();
}

void Tfrm_ParametersForm::BuildAppearancePage() {
  tsh_Appearance = AddPage("tsh_Appearance", "Внешний вид");
  auto* icons = Group(tsh_Appearance, " Пиктограммы ", "grp_Icons");
  auto* iconGrid = new QGridLayout(icons);
  using THandler = void (Tfrm_ParametersForm::*)();
  const THandler handlers[6] = {
      &Tfrm_ParametersForm::btn_OpenNodeClick,  &Tfrm_ParametersForm::btn_LibraryClick,
      &Tfrm_ParametersForm::btn_DirectoryClick, &Tfrm_ParametersForm::btn_FileClick,
      &Tfrm_ParametersForm::btn_NightClick,     &Tfrm_ParametersForm::btn_ExperienceClick};
  for (int i = 0; i < 6; ++i) {
    const QString name = QString::fromLatin1(kIconNames[i]);
    edt_Icons[i] = Edit(icons, "edt_" + name);
    btn_Icons[i] = Dots(icons, "btn_" + name);
    connect(btn_Icons[i], &QPushButton::clicked, this, handlers[i]);
    iconGrid->addWidget(new QLabel(U(kIconCaptions[i]), icons), i, 0);
    iconGrid->addWidget(edt_Icons[i], i, 1);
    iconGrid->addWidget(btn_Icons[i], i, 2);
  }
  auto* labels = Group(tsh_Appearance, " Названия флагов ", "grp_Labels");
  auto* labelForm = new QFormLayout(labels);
  for (int i = 0; i < 4; ++i) {
    edt_Labels[i] = Edit(labels, QStringLiteral("edt_Label_%1").arg(i + 1));
    labelForm->addRow(U("Флаг %1:").arg(i + 1), edt_Labels[i]);
  }
  auto* page = new QVBoxLayout(tsh_Appearance);
  page->addWidget(icons);
  page->addWidget(labels);
  page->addStretch();
}

void Tfrm_ParametersForm::BuildConfirmationsPage() {
  tsh_Confirmations = AddPage("tsh_Confirmations", "Подтверждения");
  auto* group = Group(tsh_Confirmations, " Подтверждения ", "grp_Confirmations");
  box_Delete = new QCheckBox(U("Подтверждать удаление объектов из структуры библиотеки"), group);
  box_Delete->setObjectName("box_Delete");
  (new QVBoxLayout(group))->addWidget(box_Delete);
  auto* page = new QVBoxLayout(tsh_Confirmations);
  page->addWidget(group);
  page->addStretch();
}

void Tfrm_ParametersForm::BuildUserPage() {
  tsh_User = AddPage("tsh_User", "Пользователь");
  edt_Name = Edit(tsh_User, "edt_Name");
  edt_Nick = Edit(tsh_User, "edt_Nick");
  edt_EMail = Edit(tsh_User, "edt_EMail");
  auto* sex = Group(tsh_User, " Пол: ", "grp_Sex");
  rab_Masculinum = new QRadioButton(U("Мужской"), sex);
  rab_Masculinum->setObjectName("rab_Masculinum");
  rab_Femininum = new QRadioButton(U("Женский"), sex);
  rab_Femininum->setObjectName("rab_Femininum");
  rab_Smile = new QRadioButton(QStringLiteral(":)"), sex);
  rab_Smile->setObjectName("rab_Smile");
  auto* sexRow = new QHBoxLayout(sex);
  for (QRadioButton* b : {rab_Masculinum, rab_Femininum, rab_Smile}) sexRow->addWidget(b);
  sexRow->addStretch();
  upd_Age = UpDown(tsh_User, "Age", 0);
  upd_Age->setMaximum(150);
  mmo_AdditionalNotes = new QPlainTextEdit(tsh_User);
  mmo_AdditionalNotes->setObjectName("mmo_AdditionalNotes");

  auto* fields = new QFormLayout;
  fields->addRow(U("Имя:"), edt_Name);
  fields->addRow(U("Псевдоним:"), edt_Nick);
  fields->addRow(U("E-Mail:"), edt_EMail);
  auto* page = new QVBoxLayout(tsh_User);
  page->addLayout(fields);
  page->addWidget(sex);
  auto* age = new QFormLayout;
  age->addRow(U("Возраст:"), upd_Age);
  page->addLayout(age);
  page->addWidget(new QLabel(U("Дополнительные сведения:"), tsh_User));
  page->addWidget(mmo_AdditionalNotes, 1);
}

void Tfrm_ParametersForm::BuildAdditionalPage() {
  tsh_Additional = AddPage("tsh_Additional", "Дополнительно");
  auto* group = Group(tsh_Additional, " Дополнительные файлы ", "grp_AdditionalFiles");
  edt_Dictionary = Edit(group, "edt_Dictionary");
  btn_Dictionary = Dots(group, "btn_Dictionary");
  edt_DreamVocabulary = Edit(group, "edt_DreamVocabulary");
  btn_DreamVocabulary = Dots(group, "btn_DreamVocabulary");
  connect(btn_Dictionary, &QPushButton::clicked, this, &Tfrm_ParametersForm::btn_DictionaryClick);
  connect(btn_DreamVocabulary, &QPushButton::clicked, this,
          &Tfrm_ParametersForm::btn_DreamVocabularyClick);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(U("Словарь:"), group), 0, 0);
  grid->addWidget(edt_Dictionary, 0, 1);
  grid->addWidget(btn_Dictionary, 0, 2);
  grid->addWidget(new QLabel(U("Сонник:"), group), 1, 0);
  grid->addWidget(edt_DreamVocabulary, 1, 1);
  grid->addWidget(btn_DreamVocabulary, 1, 2);
  auto* page = new QVBoxLayout(tsh_Additional);
  page->addWidget(group);
  page->addStretch();
}

void Tfrm_ParametersForm::FormCreate(const QSize& screen) {
  upd_XCoordinate->setMaximum(screen.width());
  upd_YCoordinate->setMaximum(screen.height());
  upd_Width->setMaximum(std::max(640, screen.width()));
  upd_Height->setMaximum(std::max(480, screen.height()));
  upd_TreeWidth->setMaximum(screen.width() / 2);
  pgc_Parameters->setCurrentIndex(0);
}

void Tfrm_ParametersForm::SetBounds(const TBounds& b) {
  upd_XCoordinate->setValue(b.Left);
  upd_YCoordinate->setValue(b.Top);
  upd_Width->setValue(b.Width);
  upd_Height->setValue(b.Height);
  upd_TreeWidth->setValue(b.TreeWidth);
}

Tfrm_ParametersForm::TBounds Tfrm_ParametersForm::Bounds() const {
  return {upd_XCoordinate->value(), upd_YCoordinate->value(), upd_Width->value(),
          upd_Height->value(), upd_TreeWidth->value()};
}

QString Tfrm_ParametersForm::MarkCaption(int index) const {
  // As the settings keep it, so the box reads the same after the next start.
  return index >= 0 && index < 4 ? ToUi(Stored(edt_Labels[index])) : QString();
}

void Tfrm_ParametersForm::Fill(TXMLParser& settings, TXMLParser* library) {
  FSettings = &settings;
  FLibrary = library;
  Show(edt_LibraryFileName, ReadLibraryPath(settings));
  FAppearance.emplace(settings);
  for (int i = 0; i < kMarkCount; ++i) Show(edt_Labels[i], FAppearance->Caption(i));
  for (int i = 0; i < kIconSlotCount; ++i) Show(edt_Icons[i], FAppearance->IconPath(i));
  box_Delete->setChecked(ReadConfirmDeleteBox(settings));
  const TBackupSetting backups = ReadBackupSetting(settings);
  box_Backups->setChecked(backups.Daily);
  edt_BackupFolder->setEnabled(backups.Daily);
  btn_BackupFolder->setEnabled(backups.Daily);
  edt_BackupFolder->setText(QDir::toNativeSeparators(backups.Folder));

  tsh_User->setEnabled(library != nullptr);
  tsh_Additional->setEnabled(library != nullptr);
  if (!library) return;
  if (const auto owner = ReadOwner(*library)) {
    Show(edt_Name, owner->Name);
    Show(edt_Nick, owner->Nick);
    Show(edt_EMail, owner->Email);
    if (owner->Sex) {
      rab_Masculinum->setChecked(*owner->Sex == TSex::Masculinum);
      rab_Femininum->setChecked(*owner->Sex == TSex::Femininum);
      rab_Smile->setChecked(*owner->Sex == TSex::Smile);
    }
    if (owner->Age) upd_Age->setValue(*owner->Age);
    if (owner->Notes) mmo_AdditionalNotes->setPlainText(MemoText(*owner->Notes));
  }
  if (const auto additional = ReadAdditionalFiles(*library)) {
    Show(edt_Dictionary, additional->Dictionary);
    Show(edt_DreamVocabulary, additional->Vocabulary);
  }
}

void Tfrm_ParametersForm::Apply() {
  if (!FSettings) return;
  WriteFormBounds(*FSettings, Bounds());
  WriteLibraryPath(*FSettings, Stored(edt_LibraryFileName));
  FAppearance->Write(StoredTexts(edt_Labels), StoredTexts(edt_Icons));
  WriteConfirmDelete(*FSettings, box_Delete->isChecked());
  WriteBackupSetting(*FSettings, {box_Backups->isChecked(),
                                  QDir::fromNativeSeparators(edt_BackupFolder->text().trimmed())});
  if (FLibrary) ApplyLibrary(*FLibrary);
}

void Tfrm_ParametersForm::ApplyLibrary(TXMLParser& library) const {
  TOwner owner;
  owner.Name = Stored(edt_Name);
  owner.Nick = Stored(edt_Nick);
  owner.Email = Stored(edt_EMail);
  owner.Age = upd_Age->value();
  owner.Sex = rab_Masculinum->isChecked()  ? TSex::Masculinum
              : rab_Femininum->isChecked() ? TSex::Femininum
                                           : TSex::Smile;
  const QString notes = mmo_AdditionalNotes->toPlainText();
  if (!notes.isEmpty()) owner.Notes = FromUi(notes, TTextPlace::ElementText);
  WriteOwner(library, owner);
  WriteAdditionalFiles(library, Stored(edt_Dictionary), Stored(edt_DreamVocabulary));
}

void Tfrm_ParametersForm::ChooseFile(QLineEdit* field, const char* filter) {
  if (!FChooseFile) return;
  const QString chosen = FChooseFile(U(res::OptionsOpenFileTitle), filter, field->text());
  if (!chosen.isEmpty()) field->setText(chosen);
}

void Tfrm_ParametersForm::btn_BackupFolderClick() {
  if (!FChooseFolder) return;
  const QString chosen = FChooseFolder(U(res::OptionsBackupFolderTitle), edt_BackupFolder->text());
  if (!chosen.isEmpty()) edt_BackupFolder->setText(QDir::toNativeSeparators(chosen));
}

void Tfrm_ParametersForm::btn_LibraryFileNameClick() {
  ChooseFile(edt_LibraryFileName, res::LibraryFilter);
}
void Tfrm_ParametersForm::btn_OpenNodeClick() { ChooseFile(edt_Icons[0], res::IconFilter); }
void Tfrm_ParametersForm::btn_LibraryClick() { ChooseFile(edt_Icons[1], res::IconFilter); }
void Tfrm_ParametersForm::btn_DirectoryClick() { ChooseFile(edt_Icons[2], res::IconFilter); }
void Tfrm_ParametersForm::btn_FileClick() { ChooseFile(edt_Icons[3], res::IconFilter); }
void Tfrm_ParametersForm::btn_NightClick() { ChooseFile(edt_Icons[4], res::IconFilter); }
void Tfrm_ParametersForm::btn_ExperienceClick() { ChooseFile(edt_Icons[5], res::IconFilter); }
void Tfrm_ParametersForm::btn_DictionaryClick() {
  ChooseFile(edt_Dictionary, res::AdditionalFileFilter);
}
void Tfrm_ParametersForm::btn_DreamVocabularyClick() {
  ChooseFile(edt_DreamVocabulary, res::AdditionalFileFilter);
}
