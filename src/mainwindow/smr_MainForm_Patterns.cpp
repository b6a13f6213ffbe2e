// The patterns of the selection (calendar, dream signs, trends) in a dock
// of their own, and the dream signs marked in the fields where dreams are
// written.
#include <QDate>
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "editor/smr_HTMLEditor.h"
#include "editor/smr_HTMLViewer.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "patterns/smr_DreamSigns.h"
#include "patternsview/smr_DreamSignHighlighter.h"
#include "patternsview/smr_PatternsView.h"
#include "patternsview/smr_SignDialog.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_NumberFormat.h"
#include "storage/smr_Types.h"

void Tfrm_MainForm::CreatePatternsView() {
  dck_Patterns = new QDockWidget(QString::fromUtf8(res::PatternsCaption), this);
  dck_Patterns->setObjectName("dck_Patterns");
  pnl_Patterns = new TPatternsView(dck_Patterns);
  dck_Patterns->setWidget(pnl_Patterns);
  addDockWidget(Qt::BottomDockWidgetArea, dck_Patterns);
  dck_Patterns->hide();
  pnl_Patterns->RunSignDialog = [this](TSignDialog& dialog) {
    return Prompts().Modal(dialog) == QDialog::Accepted;
  };
  connect(pnl_Patterns, &TPatternsView::NightChosen, this, &Tfrm_MainForm::ShowPatternNight);
  connect(pnl_Patterns, &TPatternsView::SearchRequested, this, &Tfrm_MainForm::SearchDreamSign);
  connect(pnl_Patterns, &TPatternsView::LibraryChanged, this, &Tfrm_MainForm::ApplyDreamSigns);
  connect(dck_Patterns, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) ShowPatterns();
  });
  // After the selection's own handler, which may have read the journal.
  connect(tre_Directory, &QTreeWidget::currentItemChanged, this, [this] {
    if (!FSuppressSelection) ShowPatterns();
  });

  FDescriptionSigns = new TDreamSignHighlighter(pnl_Edit->mmo_Description->document());
  FCommentSigns = new TDreamSignHighlighter(pnl_Edit->mmo_Comment->document());
  HTMLEditor()->web_HTMLViewer->Decorate = [this](QTextDocument& page) {
    if (FLibrary && FLibrary->Root) HighlightDreamSigns(page, ReadDreamSigns(*FLibrary->Root));
  };
}

void Tfrm_MainForm::mnu_PatternsClick() {
  if (!dck_Patterns->isVisible() && !FPatternsPlaced) {
    // First shown as a window of its own, big enough for a year of days.
    FPatternsPlaced = true;
    dck_Patterns->setFloating(true);
    dck_Patterns->resize(940, 560);
  }
  dck_Patterns->show();
  dck_Patterns->raise();
  FPatternsScope = nullptr;
  ShowPatterns();
}

void Tfrm_MainForm::ShowPatterns() {
  if (!dck_Patterns->isVisible()) return;
  // A night or a dream chosen (a day of the calendar clicked) keeps the
  // scope shown; shown first, it stands for its journal.
  const TXMLNode* selected = ElementOf(FCurrentNode);
  if (FPatternsScope && selected &&
      (selected->Name == smr::elDay || selected->Name == smr::elExperience))
    return;
  // The scope: the library, a catalogue or a journal.
  QTreeWidgetItem* item = FCurrentNode;
  while (item && item->parent()) {
    const TXMLNode* element = ElementOf(item);
    if (element && element->Name != smr::elDay && element->Name != smr::elExperience) break;
    item = item->parent();
  }
  TXMLNode* scope = ElementOf(item);
  if (scope == FPatternsScope && scope) return;
  FPatternsScope = scope;
  if (!scope) {
    pnl_Patterns->Clear();
    return;
  }
  std::vector<TPatternJournal> journals;
  const auto add = [&](TXMLNode* file) {
    if (TXMLNode* root = OpenJournal(nullptr, file)) journals.push_back({file, root});
  };
  if (scope->Name == smr::elJournal) {
    journals.push_back({FPairs.FindFirst(scope), scope});
  } else if (scope->Name == smr::elFile) {
    add(scope);
  } else {
    const std::function<void(TXMLNode&)> walk = [&](TXMLNode& element) {
      for (const auto& child : element.Children) {
        if (child->Name == smr::elFile)
          add(child.get());
        else if (child->Name == smr::elDirectory)
          walk(*child);
      }
    };
    walk(*scope);
  }
  pnl_Patterns->SetMarkCaptions(MarkCaptions());
  pnl_Patterns->SetNumberFormat(SystemNumberFormat());
  pnl_Patterns->Show(FLibrary->Root.get(), pnl_Search->Search().Index(), journals);
}

void Tfrm_MainForm::ForgetPatterns() {
  FPatternsScope = nullptr;
  pnl_Patterns->Clear();
}

void Tfrm_MainForm::ShowPatternNight(const TXMLNode* file, const TXMLNode* night) {
  QTreeWidgetItem* item = NightItem(file, night);
  if (!item) return;
  tre_Directory->setCurrentItem(item);
  tre_Directory->scrollToItem(item);
}

void Tfrm_MainForm::SearchDreamSign(const QString& text) {
  mnu_FindClick();
  pnl_Search->edt_SearchQuery->setText(text);
  pnl_Search->RunSearch();
}

void Tfrm_MainForm::ApplyDreamSigns() {
  const std::vector<TDreamSign> signs =
      FLibrary && FLibrary->Root ? ReadDreamSigns(*FLibrary->Root) : std::vector<TDreamSign>{};
  // Highlighting again is done only when the signs differ from the last ones.
  std::vector<std::string> texts;
  texts.reserve(signs.size());
  for (const TDreamSign& sign : signs) texts.push_back(sign.Text);
  if (texts == FSignTexts) return;
  FSignTexts = texts;
  FDescriptionSigns->SetSigns(signs);
  FCommentSigns->SetSigns(signs);
}
