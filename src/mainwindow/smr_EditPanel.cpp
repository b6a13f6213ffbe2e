// The editing panel: its controls, their layout by element kind, filling
// them from the selected element and writing every change straight back.
#include "mainwindow/smr_EditPanel.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <charconv>
#include <functional>
#include <string>

#include "dialogs/smr_DialogTexts.h"
#include "editor/smr_HTMLEditor.h"
#include "mainwindow/smr_ClickLabel.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "storage/smr_FileError.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "storage/smr_XMLPairList.h"
#include "xml/xml_functions.h"

namespace {

using res::U;

constexpr int kImageSize = TEditPanel::ImageSize;

// Runs a function whenever the watched widget changes size.
class TResizeWatcher : public QObject {
 public:
  TResizeWatcher(QObject* parent, std::function<void()> onResize)
      : QObject(parent), FOnResize(std::move(onResize)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) FOnResize();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> FOnResize;
};

bool IsExperience(const TXMLNode* element) { return element && element->Name == smr::elExperience; }

bool IsHtml(const TXMLNode* element) {
  return element && element->GetAttribute(smr::atType) == smr::Html;
}

// A missing attribute shows as an empty field.
QString FieldText(const std::string& value) {
  return value == smr::Undefined ? QString() : ToUi(value);
}

// Loading a control writes back through its handler only when the shown
// value really differs; a memo emits on every setPlainText, so compare first.
void LoadLine(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

void LoadMemo(QPlainTextEdit* memo, const QString& text) {
  if (memo->toPlainText() != text) memo->setPlainText(text);
}

TXMLNode* FirstDirectChild(const TXMLNode* parent, std::string_view name) {
  for (const auto& child : parent->Children)
    if (child->Kind != nkText && child->Name == name) return child.get();
  return nullptr;
}

// The first child of a description or comment, made the text node that
// holds its value.
TXMLNode* TextNodeOf(TXMLNode* element) {
  TXMLNode* text = element->Child(0);
  if (!text) text = element->AddChild(std::make_unique<TXMLNode>());
  text->Kind = nkText;
  return text;
}

bool DeleteAttributeIfPresent(TXMLNode* element, std::string_view name, std::string& value) {
  for (const auto& attribute : element->Attributes) {
    if (attribute.Name == name) {
      value = attribute.Value;
      element->DeleteAttribute(name);
      return true;
    }
  }
  return false;
}

// A stored level, or the middle of the scale when it is missing or not a number.
int StoredLevel(const TXMLNode* energy, int middle) {
  if (!energy) return middle;
  const std::string level = energy->GetAttribute(smr::atLevel);
  int value = 0;
  const char* end = level.data() + level.size();
  auto [last, error] = std::from_chars(level.data(), end, value);
  if (error != std::errc() || last != end || level.empty()) return middle;
  return value;
}

bool ReadPicture(const QString& path, QPixmap& picture, QString& error) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull()) {
    error = FileReadErrorText(path, reader.errorString());
    return false;
  }
  picture = QPixmap::fromImage(image);
  return true;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

}  // namespace

TEditPanel::TEditPanel(QWidget* workArea, const QString& dataDir, const TXMLPairList& pairs,
                       TPrompts& prompts, TFileDialogState& openImage)
    : QWidget(workArea),
      FDataDir(dataDir),
      FPairs(pairs),
      FPrompts(prompts),
      dlg_OpenImage(openImage) {
  setObjectName("pnl_Edit");
  CreatePanel();
  edt_Name->setEnabled(false);  // no library yet
  scr_WorkArea = new QScrollArea(workArea);
  scr_WorkArea->setObjectName("scr_WorkArea");
  scr_WorkArea->setFrameShape(QFrame::NoFrame);
  // The panel sizes itself (LayoutWorkArea): at least the visible area,
  // more where its controls need it, and the scroll bars reach the rest.
  scr_WorkArea->setWidgetResizable(false);
  scr_WorkArea->setWidget(this);
  scr_WorkArea->setGeometry(workArea->rect());
  // Laid out again whenever the work area changes size, also when only the
  // splitter moved and the window kept its size.
  workArea->installEventFilter(
      new TResizeWatcher(this, [this, workArea] { scr_WorkArea->setGeometry(workArea->rect()); }));
  scr_WorkArea->viewport()->installEventFilter(
      new TResizeWatcher(this, [this] { LayoutWorkArea(); }));
  LayoutPanel(ekLibrary);
}

void TEditPanel::SetElement(TXMLNode* element) {
  FShownElement = element;
  FShowsLibrary = false;
  // With nothing to write to, nothing can be typed.
  edt_Name->setEnabled(element != nullptr);
}

void TEditPanel::CreatePanel() {
  QWidget* area = this;
  auto label = [area](const char* name, const char* text) {
    auto* l = new QLabel(U(text), area);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto levelLabel = [area](const char* name, const char* text) {
    auto* l = new TClickLabel(U(text), area);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto memo = [area](const char* name) {
    auto* m = new QPlainTextEdit(area);
    m->setObjectName(QString::fromLatin1(name));
    m->setTabChangesFocus(true);
    return m;
  };
  auto mark = [area](const char* name) {
    auto* b = new QCheckBox(area);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };

  // Created in reading order, which is also the tab order.
  lbl_Number = label("lbl_Number", "Номер:");
  edt_Number = new QLineEdit(area);
  edt_Number->setObjectName("edt_Number");
  lbl_Name = label("lbl_Name", res::NewElementTitleLabel);
  edt_Name = new QLineEdit(area);
  edt_Name->setObjectName("edt_Name");
  // Under the title of a catalogue, journal or night; the graphs start below.
  bvl_Border = new QFrame(area);
  bvl_Border->setObjectName("bvl_Border");
  bvl_Border->setFrameShape(QFrame::HLine);
  bvl_Border->setFrameShadow(QFrame::Sunken);
  lbl_Description = label("lbl_Description", "Описание:");
  mmo_Description = memo("mmo_Description");
  lbl_Comment = label("lbl_Comment", "Комментарий:");
  mmo_Comment = memo("mmo_Comment");
  box_Label1 = mark("box_Label1");
  box_Label2 = mark("box_Label2");
  box_Label3 = mark("box_Label3");
  box_Label4 = mark("box_Label4");
  btn_ReadOnly = new QCheckBox(U("Только чтение"), area);
  btn_ReadOnly->setObjectName("btn_ReadOnly");
  btn_DreamProperties = new QPushButton(U(res::DreamPropertiesButton), area);
  btn_DreamProperties->setObjectName("btn_DreamProperties");

  lbl_Energy = label("lbl_Energy", "Энергетика:");
  trb_Energy = new QSlider(Qt::Vertical, area);
  trb_Energy->setObjectName("trb_Energy");
  trb_Energy->setRange(0, 200);
  trb_Energy->setPageStep(20);
  trb_Energy->setTickPosition(QSlider::NoTicks);
  // Position 0 ("1") stands at the top, and Up moves towards it.
  trb_Energy->setInvertedAppearance(true);
  trb_Energy->setInvertedControls(true);
  trb_Energy->setValue(100);
  lbl_HighEnergyLevel = levelLabel("lbl_HighEnergyLevel", "1");
  lbl_ZeroEnergyLevel = levelLabel("lbl_ZeroEnergyLevel", "0");
  lbl_LowEnergyLevel = levelLabel("lbl_LowEnergyLevel", "-1");

  lbl_Image = label("lbl_Image", "Изображение:");
  img_Image = new QLabel(area);
  img_Image->setObjectName("img_Image");
  img_Image->setFixedSize(kImageSize, kImageSize);
  img_Image->setAlignment(Qt::AlignCenter);
  img_Image->setScaledContents(false);
  img_Image->setAutoFillBackground(false);
  btn_LoadImage = new QPushButton(U("Загрузить..."), area);
  btn_LoadImage->setObjectName("btn_LoadImage");
  btn_ClearImage = new QPushButton(U("Очистить"), area);
  btn_ClearImage->setObjectName("btn_ClearImage");

  pnl_HTMLEditor = new THTMLEditor(area);
  pnl_HTMLEditor->hide();
  connect(pnl_HTMLEditor, &THTMLEditor::Failed, this,
          [this](const QString& message) { FPrompts.Error(window(), message); });

  connect(edt_Number, &QLineEdit::textChanged, this, &TEditPanel::edt_NumberChange);
  connect(edt_Name, &QLineEdit::textChanged, this, &TEditPanel::edt_NameChange);
  connect(mmo_Description, &QPlainTextEdit::textChanged, this, &TEditPanel::mmo_DescriptionChange);
  connect(mmo_Comment, &QPlainTextEdit::textChanged, this, &TEditPanel::mmo_CommentChange);
  connect(box_Label1, &QCheckBox::toggled, this, &TEditPanel::box_Label1Click);
  connect(box_Label2, &QCheckBox::toggled, this, &TEditPanel::box_Label2Click);
  connect(box_Label3, &QCheckBox::toggled, this, &TEditPanel::box_Label3Click);
  connect(box_Label4, &QCheckBox::toggled, this, &TEditPanel::box_Label4Click);
  connect(trb_Energy, &QSlider::valueChanged, this, &TEditPanel::trb_EnergyChange);
  connect(lbl_HighEnergyLevel, &TClickLabel::doubleClicked, this,
          &TEditPanel::lbl_HighEnergyLevelDblClick);
  connect(lbl_ZeroEnergyLevel, &TClickLabel::doubleClicked, this,
          &TEditPanel::lbl_ZeroEnergyLevelDblClick);
  connect(lbl_LowEnergyLevel, &TClickLabel::doubleClicked, this,
          &TEditPanel::lbl_LowEnergyLevelDblClick);
  connect(btn_LoadImage, &QPushButton::clicked, this, &TEditPanel::btn_LoadImageClick);
  connect(btn_ClearImage, &QPushButton::clicked, this, &TEditPanel::btn_ClearImageClick);
  connect(btn_ReadOnly, &QCheckBox::toggled, this, &TEditPanel::btn_ReadOnlyClick);

  ShowImage(QString());
  ColourEnergyLabels();
}

// ---------------------------------------------------------------- filling

void TEditPanel::FillPanel(TElementKind kind, TXMLNode* element) {
  FShowsLibrary = kind == ekLibrary;
  if (!element) return;
  switch (kind) {
    case ekLibrary:
    case ekDirectory:
      LoadLine(edt_Name, FieldText(element->GetAttribute(smr::atName)));
      break;
    case ekJournal: {
      const TXMLNode* file = element->Name == smr::elFile ? element : FPairs.FindFirst(element);
      LoadLine(edt_Name, file ? FieldText(file->GetAttribute(smr::atName)) : QString());
      break;
    }
    case ekNight: {
      LoadLine(edt_Name, FieldText(element->GetAttribute(smr::atName)));
      const TXMLNode* comment = FirstDirectChild(element, smr::elComment);
      LoadMemo(mmo_Comment, comment ? MemoText(comment->FirstText()) : QString());
      break;
    }
    case ekExperience: {
      LoadLine(edt_Number, FieldText(element->GetAttribute(smr::atNumber)));
      LoadLine(edt_Name, FieldText(element->GetAttribute(smr::atTitle)));
      if (!IsHtml(element)) {
        const TXMLNode* description = element->FindNode(smr::elDescription);
        LoadMemo(mmo_Description, description ? MemoText(description->FirstText()) : QString());
        // The same comment the handler writes to, so an edit never lands in
        // another comment element than the one shown.
        const TXMLNode* comment = FirstDirectChild(element, smr::elComment);
        LoadMemo(mmo_Comment, comment ? MemoText(comment->FirstText()) : QString());
        const TXMLNode* image = element->FindNode(smr::elImage);
        const std::string path =
            image ? image->GetAttribute(smr::atPath) : std::string(smr::Undefined);
        ShowImage(path == smr::Undefined ? QString()
                  : PictureFile          ? PictureFile(path)
                                         : ToUi(path));
      }

      // Marks of the older format are renamed first; HTML experiences too,
      // or their marks would be shown unticked and overwritten with "false".
      TXMLNode* properties = element->FindNode(smr::elProperties);
      QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
      for (int i = 0; i < 4; ++i) {
        bool ticked = false;
        if (properties) {
          std::string old;
          if (DeleteAttributeIfPresent(properties, smr::atOldLabel[i], old))
            properties->SetAttribute(smr::atLabel[i], old);
          ticked = properties->GetAttribute(smr::atLabel[i]) == smr::True;
          if (!ticked) properties->SetAttribute(smr::atLabel[i], smr::False);
        }
        boxes[i]->setChecked(ticked);
      }

      const int middle = trb_Energy->maximum() / 2;
      trb_Energy->setValue(StoredLevel(element->FindNode(smr::elEnergy), middle));
      ColourEnergyLabels();
      break;
    }
  }
}

// ---------------------------------------------------------------- layout

void TEditPanel::LayoutPanel(TElementKind kind) {
  const bool experience = kind == ekExperience;
  const bool html = experience && IsHtml(FShownElement);
  const bool plain = experience && !html;

  lbl_Name->setText(U(kind == ekNight ? res::NewElementDateLabel : res::NewElementTitleLabel));
  lbl_Name->show();
  edt_Name->show();
  bvl_Border->setVisible(kind == ekDirectory || kind == ekJournal || kind == ekNight);
  lbl_Number->setVisible(experience);
  edt_Number->setVisible(experience);
  lbl_Description->setVisible(plain);
  mmo_Description->setVisible(plain);
  lbl_Comment->setVisible(plain || kind == ekNight);
  mmo_Comment->setVisible(plain || kind == ekNight);
  lbl_Image->setVisible(plain);
  img_Image->setVisible(plain);
  // A locked experience keeps its image buttons hidden until unlocked.
  btn_LoadImage->setVisible(plain && !btn_ReadOnly->isChecked());
  btn_ClearImage->setVisible(plain && !btn_ReadOnly->isChecked());

  ShowMarks(experience);
  btn_ReadOnly->setVisible(experience);
  btn_DreamProperties->setVisible(experience);
  for (QWidget* w : std::initializer_list<QWidget*>{lbl_Energy, trb_Energy, lbl_HighEnergyLevel,
                                                    lbl_ZeroEnergyLevel, lbl_LowEnergyLevel})
    w->setVisible(experience);
  pnl_HTMLEditor->setVisible(html);

  // The lock of an experience ends when anything else is shown.
  if (!experience) {
    edt_Name->setReadOnly(false);
    mmo_Comment->setReadOnly(false);
  }
  LayoutWorkArea();
}

// ---------------------------------------------------------------- lock

void TEditPanel::LockEditing() { ApplyReadOnlyState(true); }

void TEditPanel::UnlockEditing() { ApplyReadOnlyState(false); }

void TEditPanel::ApplyReadOnlyState(bool locked) {
  edt_Number->setReadOnly(locked);
  edt_Name->setReadOnly(locked);
  if (IsHtml(FShownElement)) {
    pnl_HTMLEditor->SetLocked(locked);
  } else {
    mmo_Description->setReadOnly(locked);
    mmo_Comment->setReadOnly(locked);
    btn_LoadImage->setVisible(!locked);
    btn_ClearImage->setVisible(!locked);
  }
  for (QCheckBox* box : {box_Label1, box_Label2, box_Label3, box_Label4}) box->setEnabled(!locked);
  trb_Energy->setEnabled(!locked);
  // A locked experience keeps its stored properties too.
  btn_DreamProperties->setEnabled(!locked);
  btn_ReadOnly->setChecked(locked);  // runs btn_ReadOnlyClick only on a real change
}

// ---------------------------------------------------------------- helpers

// Built from what is stored, so the caption always matches the document,
// also when the number itself contains ". ".
QString TEditPanel::ExperienceCaption(const TXMLNode* experience) {
  return ToUi(experience->GetAttribute(smr::atNumber) + ". " +
              experience->GetAttribute(smr::atTitle));
}

TXMLNode* TEditPanel::EnsureChild(TXMLNode* parent, std::string_view name, std::uint8_t kind) {
  if (TXMLNode* found = parent->FindNode(name)) return found;
  TXMLNode* child = parent->AddChild(std::make_unique<TXMLNode>(std::string(name), kind));
  child->SetLevel(parent->Level + 1);
  return child;
}

void TEditPanel::ShowMarks(bool experience) {
  // A mark shows only when it and every mark before it have a caption.
  QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  bool named = experience;
  for (int i = 0; i < 4; ++i) {
    named = named && FMarkNamed[i];
    boxes[i]->setVisible(named);
  }
}

void TEditPanel::SetMarkCaptions(const std::array<QString, 4>& captions) {
  for (int i = 0; i < 4; ++i) SetMarkCaption(i, captions[static_cast<std::size_t>(i)]);
  // An experience on show gains or loses its marks at once.
  ShowMarks(FShownElement && FShownElement->Name == smr::elExperience);
  LayoutWorkArea();
}

void TEditPanel::SetMarkCaption(int index, const QString& caption) {
  if (index < 0 || index >= 4) return;
  const bool named = !caption.isEmpty();
  FMarkCaption[index] = caption;
  FMarkNamed[index] = named;
  QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  boxes[index]->setText(FMarkCaption[index]);
  // A longer caption needs room at once, not at the next start.
  LayoutWorkArea();
}

void TEditPanel::ShowImage(const QString& path) {
  // A picture that cannot be read leaves the default one; without that,
  // the place stays empty.
  QPixmap picture;
  QString error;
  if (!path.isEmpty() && ReadPicture(path, picture, error)) {
    img_Image->setPixmap(picture);
    return;
  }
  if (ReadPicture(FDataDir + ToUi(smr::EmptyImageFileName), picture, error))
    img_Image->setPixmap(picture);
  else
    img_Image->clear();
}

void TEditPanel::ColourEnergyLabels() {
  const int p = trb_Energy->value();
  const int min = trb_Energy->minimum();
  const int max = trb_Energy->maximum();
  const int page = trb_Energy->pageStep();
  const QColor red(255, 0, 0);
  const QColor black(0, 0, 0);
  QLabel* reddened = nullptr;
  if (p < min + page)
    reddened = lbl_HighEnergyLevel;
  else if ((max - page) / 2 < p && p < (max + page) / 2)
    reddened = lbl_ZeroEnergyLevel;
  else if (p > max - page)
    reddened = lbl_LowEnergyLevel;
  for (QLabel* l :
       {static_cast<QLabel*>(lbl_HighEnergyLevel), static_cast<QLabel*>(lbl_ZeroEnergyLevel),
        static_cast<QLabel*>(lbl_LowEnergyLevel)})
    SetTextColour(l, l == reddened ? red : black);
}

// ---------------------------------------------------------------- handlers

void TEditPanel::edt_NumberChange() {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  element->SetAttribute(smr::atNumber, FromUi(edt_Number->text(), TTextPlace::Attribute));
  emit CaptionChanged(ExperienceCaption(element));
}

void TEditPanel::edt_NameChange() {
  TXMLNode* element = FShownElement;
  if (!element) return;
  const std::string text = FromUi(edt_Name->text(), TTextPlace::Attribute);
  TXMLNode* named = nullptr;
  const std::string& name = element->Name;
  if (FShowsLibrary || name == smr::elLibrary || name == smr::elDirectory || name == smr::elFile ||
      name == smr::elDay) {
    named = element;
  } else if (name == smr::elJournal) {
    named = FPairs.FindFirst(element);  // the journal's title lives on the library's file element
  } else if (name == smr::elExperience) {
    element->SetAttribute(smr::atTitle, text);
    emit CaptionChanged(ExperienceCaption(element));
    return;
  }
  if (!named) return;
  named->SetAttribute(smr::atName, text);
  emit CaptionChanged(ToUi(text));
}

void TEditPanel::mmo_DescriptionChange() {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  TXMLNode* description = EnsureChild(element, smr::elDescription, nkElement);
  TextNodeOf(description)->Value =
      NormalizeSpaces(FromUi(mmo_Description->toPlainText(), TTextPlace::ElementText));
}

void TEditPanel::mmo_CommentChange() {
  TXMLNode* element = FShownElement;
  if (!element || (element->Name != smr::elDay && element->Name != smr::elExperience)) return;
  TXMLNode* comment = FirstDirectChild(element, smr::elComment);
  if (!comment) {
    comment = element->AddChild(std::make_unique<TXMLNode>(std::string(smr::elComment), nkElement));
    comment->SetLevel(element->Level + 1);
  }
  // A comment is one line: each line of the memo followed by one blank.
  QString text = mmo_Comment->toPlainText();
  text.replace(QChar(QChar::LineSeparator), QChar('\n'));
  text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
  QString joined;
  for (const QString& line : text.split(QChar('\n'))) joined += line + QChar(' ');
  TextNodeOf(comment)->Value = NormalizeSpaces(FromUi(joined, TTextPlace::ElementText));
}

void TEditPanel::LabelClick(int index) {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  TXMLNode* properties = EnsureChild(element, smr::elProperties, nkEmptyElement);
  properties->SetAttribute(smr::atLabel[index], boxes[index]->isChecked() ? smr::True : smr::False);
}

void TEditPanel::box_Label1Click() { LabelClick(0); }
void TEditPanel::box_Label2Click() { LabelClick(1); }
void TEditPanel::box_Label3Click() { LabelClick(2); }
void TEditPanel::box_Label4Click() { LabelClick(3); }

void TEditPanel::trb_EnergyChange() {
  ColourEnergyLabels();
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  EnsureChild(element, smr::elEnergy, nkEmptyElement)
      ->SetAttribute(smr::atLevel, std::to_string(trb_Energy->value()));
}

// The shortcuts obey the lock like the track bar itself.
void TEditPanel::lbl_HighEnergyLevelDblClick() {
  if (IsExperience(FShownElement) && trb_Energy->isEnabled()) trb_Energy->setValue(0);
}

void TEditPanel::lbl_ZeroEnergyLevelDblClick() {
  if (IsExperience(FShownElement) && trb_Energy->isEnabled())
    trb_Energy->setValue(trb_Energy->maximum() / 2);
}

void TEditPanel::lbl_LowEnergyLevelDblClick() {
  if (IsExperience(FShownElement) && trb_Energy->isEnabled())
    trb_Energy->setValue(trb_Energy->maximum());
}

void TEditPanel::btn_LoadImageClick() {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  const QString chosen = FPrompts.OpenFileName(window(), dlg_OpenImage);
  if (chosen.isEmpty()) return;
  const QString fullName = QFileInfo(chosen).absoluteFilePath();
  // The journal is windows-1251: a path it cannot hold would point nowhere.
  const std::string stored = FromUi(fullName, TTextPlace::Attribute);
  if (ToUi(stored) != fullName) {
    FPrompts.Error(window(), U(res::ImagePathNotStorable).arg(fullName));
    return;
  }
  QPixmap picture;
  QString error;
  if (!ReadPicture(fullName, picture, error)) {
    FPrompts.Error(window(), error);
    return;
  }
  img_Image->setPixmap(picture);
  EnsureChild(element, smr::elImage, nkEmptyElement)->SetAttribute(smr::atPath, stored);
}

void TEditPanel::btn_ClearImageClick() {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  ShowImage(QString());
  TXMLNode* image = element->FindNode(smr::elImage);
  if (image && image->GetAttribute(smr::atPath) != smr::Undefined)
    image->SetAttribute(smr::atPath, smr::Undefined);
}

void TEditPanel::btn_ReadOnlyClick() {
  TXMLNode* element = FShownElement;
  if (!IsExperience(element)) return;
  const bool locked = btn_ReadOnly->isChecked();
  element->SetAttribute(smr::atReadOnly, locked ? smr::True : smr::False);
  if (locked)
    LockEditing();
  else
    UnlockEditing();
}
