#pragma once

#include <QDialog>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "storage/smr_SettingsFile.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TXMLParser;

// The options dialog: edits the settings document and the open library in
// memory. Fill it, show it, and after OK apply it; it writes no file.
//
// An up-down field is one spin box: the spin box carries the `upd_` name
// (it holds the range and the value), its line edit the `edt_` name (the
// text the user types). Either is found by objectName.
class Tfrm_ParametersForm : public QDialog {
  Q_OBJECT

 public:
  using TBounds = TFormBounds;
  // Asks for a file: the dialog's title, its filter ("Description|*.x|..."),
  // the name to start from; an empty result means cancelled.
  using TChooseFile =
      std::function<QString(const QString& title, const char* filter, const QString& fileName)>;

  // Asks for a folder: the dialog's title and the folder to start from.
  using TChooseFolder = std::function<QString(const QString& title, const QString& folder)>;

  explicit Tfrm_ParametersForm(QWidget* parent = nullptr);

  // Ranges from the size of the screen the main window is on; first page.
  void FormCreate(const QSize& screen);
  // The window's bounds and tree width, held within the ranges.
  void SetBounds(const TBounds& bounds);
  TBounds Bounds() const;
  // Reads both documents into the fields. No library open (null): its two
  // pages are disabled and Apply leaves library documents alone. The
  // settings document must outlive Apply: its label and icon slots are kept.
  void Fill(TXMLParser& settings, TXMLParser* library);
  // Writes the fields into the documents Fill read, in the dialog's order:
  // form, library path, labels, icons, options, then the library's user
  // and additional files.
  void Apply();
  // The text of "Флаг n:" (0-based) as it is stored, for the mark boxes.
  QString MarkCaption(int index) const;
  void SetFileChooser(TChooseFile chooser) { FChooseFile = std::move(chooser); }
  void SetFolderChooser(TChooseFolder chooser) { FChooseFolder = std::move(chooser); }

  // File buttons
  void btn_LibraryFileNameClick();
  void btn_OpenNodeClick();
  void btn_LibraryClick();
  void btn_DirectoryClick();
  void btn_FileClick();
  void btn_NightClick();
  void btn_ExperienceClick();
  void btn_DictionaryClick();
  void btn_DreamVocabularyClick();
  void btn_BackupFolderClick();

  QTabWidget* pgc_Parameters;
  QWidget* tsh_General;
  QWidget* tsh_Appearance;
  QWidget* tsh_Confirmations;
  QWidget* tsh_User;
  QWidget* tsh_Additional;
  // "Общие свойства"
  QSpinBox* upd_XCoordinate;
  QSpinBox* upd_YCoordinate;
  QSpinBox* upd_Width;
  QSpinBox* upd_Height;
  QSpinBox* upd_TreeWidth;
  QLineEdit* edt_LibraryFileName;
  QPushButton* btn_LibraryFileName;
  QCheckBox* box_Backups;
  QLineEdit* edt_BackupFolder;
  QPushButton* btn_BackupFolder;
  // "Внешний вид": icon slots 1 to 6, then the mark captions
  QLineEdit* edt_Icons[6];
  QPushButton* btn_Icons[6];
  QLineEdit* edt_Labels[4];
  // "Подтверждения"
  QCheckBox* box_Delete;
  // "Пользователь"
  QLineEdit* edt_Name;
  QLineEdit* edt_Nick;
  QLineEdit* edt_EMail;
  QRadioButton* rab_Masculinum;
  QRadioButton* rab_Femininum;
  QRadioButton* rab_Smile;
  QSpinBox* upd_Age;
  QPlainTextEdit* mmo_AdditionalNotes;
  // "Дополнительно"
  QLineEdit* edt_Dictionary;
  QLineEdit* edt_DreamVocabulary;
  QPushButton* btn_Dictionary;
  QPushButton* btn_DreamVocabulary;
  QPushButton* btn_Ok;
  QPushButton* btn_Cancel;

 private:
  QWidget* AddPage(const char* name, const char* caption);
  void BuildGeneralPage();
  void BuildAppearancePage();
  void BuildConfirmationsPage();
  void BuildUserPage();
  void BuildAdditionalPage();
  void ChooseFile(QLineEdit* field, const char* filter);
  void ApplyLibrary(TXMLParser& library) const;

  TChooseFile FChooseFile;
  TChooseFolder FChooseFolder;
  TXMLParser* FSettings = nullptr;
  TXMLParser* FLibrary = nullptr;
  std::optional<TAppearanceSettings> FAppearance;
};
