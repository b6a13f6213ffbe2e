#include "importview/smr_ImportForm.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <utility>

#include "dialogs/smr_DialogUtils.h"
#include "import/smr_TextImport.h"
#include "importview/smr_ImportViewTexts.h"
#include "storage/smr_NumberFormat.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"

using res::U;

namespace {

// The preview shows as many rows as fit the dialog without scrolling far;
// the whole table is built only for the counts and the import itself.
constexpr std::size_t kPreviewRows = 20;
// The start of a long text in a cell.
constexpr int kStartLength = 48;

// What a row of the nights carries besides its texts.
constexpr int kTextRole = Qt::UserRole;      // a dream's whole text
constexpr int kLineRole = Qt::UserRole + 1;  // where it starts in the file
constexpr int kNameRole = Qt::UserRole + 2;  // the last accepted name or title

// The columns of the preview.
enum TPreviewColumn {
  pcNight,
  pcNumber,
  pcTitle,
  pcDescription,
  pcComment,
  pcMark1,
  pcEnergy = pcMark1 + 4,
  pcProperties,
  pcCount
};

// The columns of the CSV's columns.
enum { ccHeader, ccField, ccProperty, ccCount };

// The first line with text in it, cut to a glance.
QString Start(const QString& text) {
  QString line;
  for (const QString& piece : text.split(QLatin1Char('\n'))) {
    line = piece.simplified();
    if (!line.isEmpty()) break;
  }
  if (line.size() > kStartLength) line = line.left(kStartLength).trimmed() + QChar(0x2026);
  return line;
}

// Russian counts: 1, 21 знак; 2-4, 22 знака; 5-20, 11-14 знаков.
QString ReplacedText(int count) {
  const int tens = count % 100;
  const int ones = count % 10;
  const char* form = res::ImportReplacedMany;
  if (ones == 1 && tens != 11)
    form = res::ImportReplacedOne;
  else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
    form = res::ImportReplacedFew;
  return U(form).arg(count);
}

QString Attribute(const TXMLNode* node, std::string_view name) {
  return node && node->HasAttribute(name) ? ToUi(node->GetAttribute(name)) : QString();
}

QString ElementText(const TXMLNode& experience, std::string_view name) {
  for (const auto& child : experience.Children)
    if (child->Name == name) return MemoText(child->FirstText());
  return {};
}

const TXMLNode* Child(const TXMLNode& node, std::string_view name) {
  for (const auto& child : node.Children)
    if (child->Name == name) return child.get();
  return nullptr;
}

// A mark as the settings name it; one they leave unnamed by its place.
QString MarkCaption(const std::array<QString, 4>& captions, std::size_t mark) {
  return captions[mark].isEmpty() ? U(res::ImportFieldMark).arg(mark + 1) : captions[mark];
}

// A dream the text gave no heading shows that it has no title, greyed, while
// its title stays empty for the editor and the journal.
class TNightsDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0 || !index.parent().isValid() || !option->text.isEmpty()) return;
    option->text = U(res::ImportNoTitle);
    option->palette.setColor(QPalette::Text,
                             option->palette.color(QPalette::Disabled, QPalette::Text));
  }
};

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled);
  return item;
}

// The start of a long text, the whole of it on hovering.
QTableWidgetItem* StartCell(const QString& text) {
  QTableWidgetItem* item = Cell(Start(text));
  if (item->text() != text) item->setToolTip(text);
  return item;
}

}  // namespace

Tfrm_ImportForm::Tfrm_ImportForm(const QString& fileName, std::string bytes, TImportKind kind,
                                 const std::array<QString, 4>& markCaptions,
                                 const QString& csvMapping, QWidget* parent)
    : QDialog(parent),
      FBytes(std::move(bytes)),
      FKind(kind),
      FMarkCaptions(markCaptions),
      FSavedMapping(csvMapping) {
  setWindowTitle(U(res::ImportCaption).arg(QFileInfo(fileName).fileName()));
  setMinimumSize(600, 420);
  resize(800, 560);

  auto* layout = new QVBoxLayout(this);
  auto* pane = new QWidget(this);
  pane->setObjectName("pnl_Import");
  layout->addWidget(pane, 1);

  lbl_Error = new QLabel(this);
  lbl_Error->setObjectName("lbl_Error");
  lbl_Error->setWordWrap(true);
  lbl_Error->setTextFormat(Qt::PlainText);
  lbl_Error->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QPalette red = lbl_Error->palette();
  red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
  lbl_Error->setPalette(red);
  lbl_Error->hide();
  layout->addWidget(lbl_Error);

  lbl_Totals = new QLabel(this);
  lbl_Totals->setObjectName("lbl_Totals");
  lbl_Replaced = new QLabel(this);
  lbl_Replaced->setObjectName("lbl_Replaced");
  lbl_Replaced->setToolTip(U(res::ImportReplacedHint));
  lbl_Replaced->hide();
  MakeOkCancel(this, U(res::ImportOk), U(res::ImportCancel), btn_Ok, btn_Cancel);
  btn_Ok->setEnabled(false);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lbl_Totals);
  buttons->addSpacing(16);
  buttons->addWidget(lbl_Replaced);
  buttons->addStretch(1);
  buttons->addWidget(btn_Ok);
  buttons->addWidget(btn_Cancel);
  layout->addLayout(buttons);

  if (FKind == TImportKind::Csv) {
    BuildCsvView();
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    auto* columnsPane = new QWidget(pane);
    columnsPane->setObjectName("pnl_Columns");
    auto* columnsLayout = new QVBoxLayout(columnsPane);
    columnsLayout->setContentsMargins(0, 0, 0, 0);
    columnsLayout->addWidget(lbl_Columns);
    columnsLayout->addWidget(grd_Columns, 1);
    auto* previewPane = new QWidget(pane);
    previewPane->setObjectName("pnl_Preview");
    auto* previewLayout = new QVBoxLayout(previewPane);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(lbl_Preview);
    previewLayout->addWidget(grd_Preview, 1);
    spl_Import = new QSplitter(Qt::Vertical, pane);
    spl_Import->setObjectName("spl_Import");
    spl_Import->setChildrenCollapsible(false);
    spl_Import->addWidget(columnsPane);
    spl_Import->addWidget(previewPane);
    spl_Import->setSizes({200, 260});
    paneLayout->addWidget(spl_Import);
    try {
      FTable = ReadCsv(FBytes);
      FTableRead = true;
      FMapping = LoadCsvMapping(FTable.Header, FSavedMapping, FMarkCaptions);
      FMapping.resize(static_cast<std::size_t>(FTable.Header.size()));
    } catch (const std::exception& error) {
      ShowError(QString::fromUtf8(error.what()));
      return;
    }
    FillColumns();
    RebuildCsv();
  } else {
    BuildTextView(pane);
    try {
      const auto nights = SplitTextDiary(FBytes, U(res::ImportUndatedNight));
      FFilling = true;
      for (const TTextNight& night : nights) {
        auto* nightRow = new QTreeWidgetItem(lst_Nights, {night.Name});
        nightRow->setData(0, kNameRole, night.Name);
        nightRow->setData(0, kLineRole, night.Line);
        nightRow->setFlags(nightRow->flags() | Qt::ItemIsEditable);
        for (const TTextDream& dream : night.Dreams) {
          auto* dreamRow = new QTreeWidgetItem(nightRow, {dream.Title, Start(dream.Text)});
          dreamRow->setData(0, kNameRole, dream.Title);
          dreamRow->setData(0, kTextRole, dream.Text);
          dreamRow->setData(0, kLineRole, dream.Line);
          dreamRow->setFlags(dreamRow->flags() | Qt::ItemIsEditable);
        }
      }
      FFilling = false;
    } catch (const std::exception& error) {
      FFilling = false;
      ShowError(QString::fromUtf8(error.what()));
      return;
    }
    FillNights();
    RebuildText();
  }
}

Tfrm_ImportForm::~Tfrm_ImportForm() = default;

TImportedJournal Tfrm_ImportForm::TakeJournal() {
  FJournalBuilt = false;
  return std::move(FJournal);
}

QString Tfrm_ImportForm::Mapping() const {
  return FTableRead ? SaveCsvMapping(FTable.Header, FMapping) : FSavedMapping;
}

bool Tfrm_ImportForm::eventFilter(QObject* watched, QEvent* event) {
  const auto* combo = qobject_cast<QComboBox*>(watched);
  if (event->type() == QEvent::Wheel && combo && !combo->hasFocus()) {
    // Ignored, it goes on to the list under the field.
    event->ignore();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// --- CSV

void Tfrm_ImportForm::BuildCsvView() {
  lbl_Columns = new QLabel(U(res::ImportColumnsCaption), this);
  lbl_Columns->setObjectName("lbl_Columns");
  grd_Columns = new QTableWidget(0, ccCount, this);
  grd_Columns->setObjectName("grd_Columns");
  grd_Columns->setHorizontalHeaderLabels(
      {U(res::ImportColumnHeader), U(res::ImportFieldHeader), U(res::ImportPropertyHeader)});
  grd_Columns->verticalHeader()->hide();
  grd_Columns->setSelectionMode(QAbstractItemView::NoSelection);
  grd_Columns->setEditTriggers(QAbstractItemView::AllEditTriggers);
  grd_Columns->horizontalHeader()->setSectionResizeMode(ccHeader, QHeaderView::ResizeToContents);
  grd_Columns->horizontalHeader()->setSectionResizeMode(ccField, QHeaderView::ResizeToContents);
  grd_Columns->horizontalHeader()->setSectionResizeMode(ccProperty, QHeaderView::Stretch);
  connect(grd_Columns, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!FFilling && item->column() == ccProperty) SetPropertyName(item->row(), item->text());
  });

  lbl_Preview = new QLabel(U(res::ImportPreviewCaption), this);
  lbl_Preview->setObjectName("lbl_Preview");
  grd_Preview = new QTableWidget(0, pcCount, this);
  grd_Preview->setObjectName("grd_Preview");
  QStringList headers = {U(res::ImportFieldNight), U(res::ImportFieldNumber),
                         U(res::ImportFieldTitle), U(res::ImportFieldDescription),
                         U(res::ImportFieldComment)};
  for (std::size_t mark = 0; mark < 4; ++mark) headers << MarkCaption(FMarkCaptions, mark);
  headers << U(res::ImportFieldEnergy) << U(res::ImportPreviewProperties);
  grd_Preview->setHorizontalHeaderLabels(headers);
  grd_Preview->verticalHeader()->hide();
  grd_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grd_Preview->setSelectionMode(QAbstractItemView::NoSelection);
  grd_Preview->setWordWrap(false);
  grd_Preview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grd_Preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

void Tfrm_ImportForm::FillColumns() {
  const std::pair<QString, TCsvField> fields[] = {
      {U(res::ImportFieldIgnore), TCsvField::Ignore},
      {U(res::ImportFieldNight), TCsvField::Night},
      {U(res::ImportFieldDate), TCsvField::Date},
      {U(res::ImportFieldNumber), TCsvField::Number},
      {U(res::ImportFieldTitle), TCsvField::Title},
      {U(res::ImportFieldDescription), TCsvField::Description},
      {U(res::ImportFieldComment), TCsvField::Comment},
      {MarkCaption(FMarkCaptions, 0), TCsvField::Mark1},
      {MarkCaption(FMarkCaptions, 1), TCsvField::Mark2},
      {MarkCaption(FMarkCaptions, 2), TCsvField::Mark3},
      {MarkCaption(FMarkCaptions, 3), TCsvField::Mark4},
      {U(res::ImportFieldEnergy), TCsvField::Energy},
      {U(res::ImportFieldReadOnly), TCsvField::ReadOnly},
      {U(res::ImportFieldProperty), TCsvField::Property},
  };
  FFilling = true;
  grd_Columns->setRowCount(static_cast<int>(FTable.Header.size()));
  for (int column = 0; column < static_cast<int>(FTable.Header.size()); ++column) {
    grd_Columns->setItem(column, ccHeader, Cell(FTable.Header[column]));
    auto* combo = new QComboBox(grd_Columns);
    combo->setObjectName(QStringLiteral("cmb_Field%1").arg(column));
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(this);
    for (const auto& [caption, field] : fields) combo->addItem(caption, static_cast<int>(field));
    // A column the export writes for the journal's name is not imported either.
    const TCsvField mapped = FMapping[static_cast<std::size_t>(column)].Field;
    const int shown = combo->findData(static_cast<int>(mapped));
    combo->setCurrentIndex(shown < 0 ? 0 : shown);
    grd_Columns->setCellWidget(column, ccField, combo);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, column, combo] {
      SetField(column, static_cast<TCsvField>(combo->currentData().toInt()));
    });
    grd_Columns->setItem(column, ccProperty, new QTableWidgetItem);
    SetField(column, mapped);
  }
  FFilling = false;
  grd_Columns->resizeRowsToContents();
  // Every column in sight when there is room, the preview keeping half at least.
  int rows = grd_Columns->horizontalHeader()->sizeHint().height() + 2 * grd_Columns->frameWidth();
  for (int row = 0; row < grd_Columns->rowCount(); ++row) rows += grd_Columns->rowHeight(row);
  const int columns = std::min(rows + lbl_Columns->sizeHint().height() + 6, 230);
  spl_Import->setSizes({columns, 460 - columns});
}

void Tfrm_ImportForm::SetField(int column, TCsvField field) {
  TCsvColumn& mapped = FMapping[static_cast<std::size_t>(column)];
  const bool changed = mapped.Field != field;
  mapped.Field = field;
  const bool property = field == TCsvField::Property;
  if (property && mapped.PropertyName.trimmed().isEmpty())
    mapped.PropertyName = FTable.Header[column];
  const bool filling = std::exchange(FFilling, true);
  QTableWidgetItem* name = grd_Columns->item(column, ccProperty);
  name->setText(property ? mapped.PropertyName : QString());
  name->setFlags(property ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                          : Qt::NoItemFlags);
  FFilling = filling;
  if (changed && !FFilling) RebuildCsv();
}

void Tfrm_ImportForm::SetPropertyName(int column, const QString& name) {
  TCsvColumn& mapped = FMapping[static_cast<std::size_t>(column)];
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) {
    // A property needs a name: the one it had stays.
    const bool filling = std::exchange(FFilling, true);
    grd_Columns->item(column, ccProperty)->setText(mapped.PropertyName);
    FFilling = filling;
    return;
  }
  if (trimmed == mapped.PropertyName) return;
  mapped.PropertyName = trimmed;
  RebuildCsv();
}

void Tfrm_ImportForm::RebuildCsv() {
  const QString undated = U(res::ImportUndatedNight);
  FJournalBuilt = false;
  QString error;
  try {
    FJournal = BuildCsvJournal(FTable, FMapping, undated);
    FJournalBuilt = true;
  } catch (const std::exception& e) {
    error = QString::fromUtf8(e.what());
  }
  if (FJournalBuilt && FTable.Rows.size() <= kPreviewRows) {
    FillPreview(FJournal);
  } else {
    // The preview is the import of the first rows, so it cannot differ
    // from what the whole table gives them.
    TCsvTable first;
    first.Header = FTable.Header;
    first.Separator = FTable.Separator;
    const auto count = static_cast<std::ptrdiff_t>(std::min(kPreviewRows, FTable.Rows.size()));
    first.Rows.assign(FTable.Rows.begin(), FTable.Rows.begin() + count);
    first.RowLines.assign(FTable.RowLines.begin(),
                          FTable.RowLines.begin() +
                              std::min(count, static_cast<std::ptrdiff_t>(FTable.RowLines.size())));
    try {
      FillPreview(BuildCsvJournal(first, FMapping, undated));
    } catch (const std::exception&) {
      grd_Preview->setRowCount(0);
    }
  }
  ShowJournal();
  if (!FJournalBuilt) ShowError(error);
}

void Tfrm_ImportForm::FillPreview(const TImportedJournal& preview) {
  grd_Preview->setRowCount(0);
  if (!preview.Document || !preview.Document->Root) return;
  int row = 0;
  for (const auto& day : preview.Document->Root->Children) {
    if (day->Name != smr::elDay) continue;
    const QString night = Attribute(day.get(), smr::atName);
    for (const auto& experience : day->Children) {
      if (experience->Name != smr::elExperience) continue;
      grd_Preview->insertRow(row);
      const TXMLNode* properties = Child(*experience, smr::elProperties);
      QStringList parameters;
      for (int mark = 0; mark < 4; ++mark) {
        const bool set = properties && properties->HasAttribute(smr::atLabel[mark]) &&
                         properties->GetAttribute(smr::atLabel[mark]) == smr::True;
        grd_Preview->setItem(row, pcMark1 + mark, Cell(set ? U(res::ImportMarkSet) : QString()));
      }
      if (properties)
        for (const auto& parameter : properties->Children)
          if (parameter->Name == smr::elParameter)
            parameters << Attribute(parameter.get(), smr::atControl) + QStringLiteral(": ") +
                              Attribute(parameter.get(), smr::atValue);
      grd_Preview->setItem(row, pcNight, Cell(night));
      grd_Preview->setItem(row, pcNumber, Cell(Attribute(experience.get(), smr::atNumber)));
      grd_Preview->setItem(row, pcTitle, Cell(Attribute(experience.get(), smr::atTitle)));
      grd_Preview->setItem(row, pcDescription,
                           StartCell(ElementText(*experience, smr::elDescription)));
      grd_Preview->setItem(row, pcComment, StartCell(ElementText(*experience, smr::elComment)));
      // The figure the file gave, as the exporters show it, not the stored level.
      const TXMLNode* energy = Child(*experience, smr::elEnergy);
      grd_Preview->setItem(
          row, pcEnergy,
          Cell(energy && energy->HasAttribute(smr::atLevel)
                   ? ToUi(EnergyFigure(energy->GetAttribute(smr::atLevel), SystemNumberFormat()))
                   : QString()));
      grd_Preview->setItem(row, pcProperties, Cell(parameters.join(QStringLiteral("; "))));
      ++row;
    }
  }
}

// --- text diary

void Tfrm_ImportForm::BuildTextView(QWidget* pane) {
  lbl_Nights = new QLabel(U(res::ImportNightsCaption), this);
  lbl_Nights->setObjectName("lbl_Nights");
  lst_Nights = new QTreeWidget(this);
  lst_Nights->setObjectName("lst_Nights");
  lst_Nights->setColumnCount(2);
  lst_Nights->setHeaderLabels({U(res::ImportNightsName), U(res::ImportNightsStart)});
  lst_Nights->setSelectionMode(QAbstractItemView::SingleSelection);
  lst_Nights->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::SelectedClicked);
  lst_Nights->setItemDelegate(new TNightsDelegate(lst_Nights));
  connect(lst_Nights, &QTreeWidget::itemChanged, this, &Tfrm_ImportForm::NightsChanged);
  connect(lst_Nights, &QTreeWidget::currentItemChanged, this, &Tfrm_ImportForm::ShowDream);

  act_Remove = new QAction(U(res::ImportRemove), lst_Nights);
  act_Remove->setObjectName("act_Remove");
  act_Remove->setShortcut(QKeySequence::Delete);
  act_Remove->setShortcutContext(Qt::WidgetShortcut);
  lst_Nights->addAction(act_Remove);
  connect(act_Remove, &QAction::triggered, this, &Tfrm_ImportForm::RemoveItem);

  btn_Remove = new QPushButton(U(res::ImportRemove), this);
  btn_Remove->setObjectName("btn_Remove");
  btn_Remove->setAutoDefault(false);
  connect(btn_Remove, &QPushButton::clicked, this, &Tfrm_ImportForm::RemoveItem);
  btn_Merge = new QPushButton(U(res::ImportMerge), this);
  btn_Merge->setObjectName("btn_Merge");
  btn_Merge->setAutoDefault(false);
  connect(btn_Merge, &QPushButton::clicked, this, &Tfrm_ImportForm::MergeDream);

  lbl_Dream = new QLabel(U(res::ImportDreamText), this);
  lbl_Dream->setObjectName("lbl_Dream");
  txt_Dream = new QPlainTextEdit(this);
  txt_Dream->setObjectName("txt_Dream");
  txt_Dream->setReadOnly(true);

  auto* nightsPane = new QWidget(pane);
  nightsPane->setObjectName("pnl_Nights");
  auto* nightsLayout = new QVBoxLayout(nightsPane);
  nightsLayout->setContentsMargins(0, 0, 0, 0);
  nightsLayout->addWidget(lbl_Nights);
  nightsLayout->addWidget(lst_Nights, 1);
  auto* edits = new QHBoxLayout;
  edits->addWidget(btn_Remove);
  edits->addWidget(btn_Merge);
  edits->addStretch(1);
  nightsLayout->addLayout(edits);
  auto* dreamPane = new QWidget(pane);
  dreamPane->setObjectName("pnl_Dream");
  auto* dreamLayout = new QVBoxLayout(dreamPane);
  dreamLayout->setContentsMargins(0, 0, 0, 0);
  dreamLayout->addWidget(lbl_Dream);
  dreamLayout->addWidget(txt_Dream, 1);

  spl_Import = new QSplitter(Qt::Horizontal, pane);
  spl_Import->setObjectName("spl_Import");
  spl_Import->setChildrenCollapsible(false);
  spl_Import->addWidget(nightsPane);
  spl_Import->addWidget(dreamPane);
  spl_Import->setStretchFactor(0, 3);
  spl_Import->setStretchFactor(1, 2);
  spl_Import->setSizes({470, 310});
  auto* paneLayout = new QVBoxLayout(pane);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  paneLayout->addWidget(spl_Import);
}

void Tfrm_ImportForm::FillNights() {
  const bool filling = std::exchange(FFilling, true);
  for (int i = 0; i < lst_Nights->topLevelItemCount(); ++i) {
    QTreeWidgetItem* night = lst_Nights->topLevelItem(i);
    night->setText(1, U(res::ImportNightDreams).arg(night->childCount()));
  }
  FFilling = filling;
  lst_Nights->expandAll();
  lst_Nights->resizeColumnToContents(0);
  lst_Nights->setColumnWidth(0, std::min(lst_Nights->columnWidth(0), 260));
  if (!lst_Nights->currentItem() && lst_Nights->topLevelItemCount() > 0) {
    QTreeWidgetItem* first = lst_Nights->topLevelItem(0);
    lst_Nights->setCurrentItem(first->childCount() > 0 ? first->child(0) : first);
  }
  ShowDream();
}

void Tfrm_ImportForm::NightsChanged(QTreeWidgetItem* item, int column) {
  if (FFilling || column != 0) return;
  QString name = item->text(0).simplified();
  if (!item->parent()) {
    // A date typed in any form the diary's date lines take becomes a night's name.
    if (const auto date = ParseDiaryDate(name)) name = NightName(*date);
    if (name.isEmpty()) name = item->data(0, kNameRole).toString();
  }
  const bool filling = std::exchange(FFilling, true);
  item->setText(0, name);
  item->setData(0, kNameRole, name);
  FFilling = filling;
  RebuildText();
}

void Tfrm_ImportForm::ShowDream() {
  QTreeWidgetItem* item = lst_Nights->currentItem();
  const bool dream = item && item->parent();
  txt_Dream->setPlainText(dream ? item->data(0, kTextRole).toString() : QString());
  btn_Remove->setEnabled(item != nullptr);
  btn_Merge->setEnabled(dream && item->parent()->indexOfChild(item) > 0);
}

void Tfrm_ImportForm::RemoveItem() {
  QTreeWidgetItem* item = lst_Nights->currentItem();
  if (!item) return;
  delete item;
  FillNights();
  RebuildText();
}

void Tfrm_ImportForm::MergeDream() {
  QTreeWidgetItem* item = lst_Nights->currentItem();
  QTreeWidgetItem* night = item ? item->parent() : nullptr;
  const int index = night ? night->indexOfChild(item) : -1;
  if (index <= 0) return;
  QTreeWidgetItem* previous = night->child(index - 1);
  // A heading that split a dream in two is a line of it again.
  const QString title = item->text(0);
  QString merged = previous->data(0, kTextRole).toString();
  if (!merged.isEmpty()) merged += QStringLiteral("\n\n");
  if (!title.isEmpty()) merged += title + QLatin1Char('\n');
  merged += item->data(0, kTextRole).toString();
  previous->setData(0, kTextRole, merged);
  previous->setText(1, Start(merged));
  delete item;
  lst_Nights->setCurrentItem(previous);
  FillNights();
  RebuildText();
}

void Tfrm_ImportForm::RebuildText() {
  std::vector<TTextNight> nights;
  for (int i = 0; i < lst_Nights->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* nightRow = lst_Nights->topLevelItem(i);
    TTextNight& night = nights.emplace_back();
    night.Name = nightRow->text(0);
    night.Line = nightRow->data(0, kLineRole).toInt();
    for (int j = 0; j < nightRow->childCount(); ++j) {
      const QTreeWidgetItem* dreamRow = nightRow->child(j);
      night.Dreams.push_back({dreamRow->text(0), dreamRow->data(0, kTextRole).toString(),
                              dreamRow->data(0, kLineRole).toInt()});
    }
  }
  FJournalBuilt = false;
  try {
    FJournal = BuildTextJournal(nights);
    FJournalBuilt = true;
  } catch (const std::exception& e) {
    ShowJournal();
    ShowError(QString::fromUtf8(e.what()));
    return;
  }
  ShowJournal();
}

// --- both

void Tfrm_ImportForm::ShowJournal() {
  lbl_Error->hide();
  int nights = 0;
  int dreams = 0;
  if (FJournalBuilt && FJournal.Document && FJournal.Document->Root) {
    for (const auto& day : FJournal.Document->Root->Children) {
      if (day->Name != smr::elDay) continue;
      ++nights;
      for (const auto& experience : day->Children) dreams += experience->Name == smr::elExperience;
    }
  }
  lbl_Totals->setVisible(FJournalBuilt);
  lbl_Totals->setText(U(res::ImportTotals).arg(nights).arg(dreams));
  const int replaced = FJournalBuilt ? FJournal.Replaced : 0;
  lbl_Replaced->setVisible(replaced > 0);
  lbl_Replaced->setText(ReplacedText(replaced));
  btn_Ok->setEnabled(FJournalBuilt && dreams > 0);
}

void Tfrm_ImportForm::ShowError(const QString& message) {
  lbl_Error->setText(message);
  lbl_Error->show();
  btn_Ok->setEnabled(false);
}
