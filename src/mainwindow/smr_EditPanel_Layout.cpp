// Where the editing panel puts its controls for the size it has.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <algorithm>

#include "editor/smr_HTMLEditor.h"
#include "graphs/smr_GraphSetup.h"
#include "mainwindow/smr_ClickLabel.h"
#include "mainwindow/smr_EditPanel.h"

namespace {

// Geometry of the work area, in pixels.
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kCaptionGap = 2;  // between a caption and its field
constexpr int kNumberWidth = 80;
constexpr int kCommentHeight = 64;
constexpr int kImageSize = TEditPanel::ImageSize;
constexpr int kTrackWidth = 24;
constexpr int kLevelLabelOffset = 28;  // energy labels stand this far right of the track's left
constexpr int kBorderInset = 3;        // the separator is the work area less 6 pixels wide
constexpr int kBorderHeight = 2;
constexpr int kMinFieldWidth = 100;  // the title, the description and the comment
constexpr int kMinHtmlHeight = 200;
constexpr int kMinBodyRows = 3;  // the energy track is at least its three labels high

// Where the controls of an experience go at one width: the bottom block of
// comment, marks and buttons with the picture to its right, or, where the
// marks would not fit beside the picture, the picture below them.
struct TExperienceGrid {
  bool Plain = false;
  bool PictureBelow = false;
  int ImageColumn = 0;
  int LeftWidth = 0;
  int Columns = 1;
  int MarkRows = 0;
  int ColumnWidth = 0;
  int ReadOnlyWidth = 0;
  bool PropertiesOwnRow = false;
  int LastRowsHeight = 0;
  int MarksHeight = 0;
  int CommentBlock = 0;
  int ImageBlock = 0;
  int BlockHeight = 0;
  int EnergyWidth = 0;
  int MinBodyHeight = 0;
  int MinWidth = 0;
};

TExperienceGrid ExperienceGrid(int width, bool plain, const QWidget* const* boxes,
                               const TEditPanel& p) {
  TExperienceGrid g;
  g.Plain = plain;
  const int captionH = p.lbl_Name->sizeHint().height();
  const int buttonH = p.btn_LoadImage->sizeHint().height();
  const int boxH = p.btn_ReadOnly->sizeHint().height();
  // The image column is wide enough for both buttons at their natural size.
  g.ImageColumn =
      std::max({kImageSize,
                p.btn_LoadImage->sizeHint().width() + kGap + p.btn_ClearImage->sizeHint().width(),
                p.lbl_Image->sizeHint().width()});
  int shownMarks = 0;
  int markWidth = 0;
  for (int i = 0; i < 4; ++i) {
    if (boxes[i]->isHidden()) continue;
    ++shownMarks;
    markWidth = std::max(markWidth, boxes[i]->sizeHint().width());
  }
  g.ReadOnlyWidth = p.btn_ReadOnly->sizeHint().width() + kGap;
  const int propertiesWidth = p.btn_DreamProperties->sizeHint().width();
  const int lastRowWidth = g.ReadOnlyWidth + kGap + propertiesWidth;
  // The narrowest the left column may be: one column of marks, the
  // properties button under the read-only box.
  const int leftMin =
      std::max({markWidth, g.ReadOnlyWidth, propertiesWidth,
                plain ? std::max(kMinFieldWidth, p.lbl_Comment->sizeHint().width()) : 0});
  const int besideWidth = width - 2 * kMargin - g.ImageColumn - 2 * kGap;
  g.PictureBelow = plain && besideWidth < leftMin;
  g.LeftWidth = plain && !g.PictureBelow ? besideWidth : width - 2 * kMargin;
  g.ColumnWidth = markWidth + 2 * kGap;
  g.Columns = (shownMarks > 1 && 2 * g.ColumnWidth <= g.LeftWidth) ? 2 : 1;
  g.MarkRows = (shownMarks + g.Columns - 1) / g.Columns;
  g.PropertiesOwnRow = lastRowWidth > g.LeftWidth;
  const int rowH = std::max(boxH, buttonH);
  g.LastRowsHeight = g.PropertiesOwnRow ? boxH + kCaptionGap + buttonH : rowH;
  g.MarksHeight = g.MarkRows * (boxH + kCaptionGap) + g.LastRowsHeight + kCaptionGap;
  g.ImageBlock = captionH + kCaptionGap + kImageSize + kGap + buttonH;
  g.CommentBlock = plain ? captionH + kCaptionGap + kCommentHeight + kGap : 0;
  const int leftBlock = g.CommentBlock + g.MarksHeight;
  if (!plain)
    g.BlockHeight = g.MarksHeight;
  else if (g.PictureBelow)
    g.BlockHeight = leftBlock + kGap + g.ImageBlock;
  else
    g.BlockHeight = std::max(g.ImageBlock, leftBlock);

  g.EnergyWidth = std::max(p.lbl_Energy->sizeHint().width(),
                           kLevelLabelOffset + p.lbl_LowEnergyLevel->sizeHint().width());
  const int levelH = p.lbl_ZeroEnergyLevel->sizeHint().height();
  g.MinBodyHeight = captionH + kCaptionGap + kMinBodyRows * levelH;
  // The HTML editor's tag buttons and a few lines of the page; it asks for
  // more than that, which would scroll even the smallest window.
  if (!plain)
    g.MinBodyHeight = std::max(
        g.MinBodyHeight, std::min(p.pnl_HTMLEditor->minimumSizeHint().height(), kMinHtmlHeight));
  const int bodyMin =
      std::max(kMinFieldWidth, p.lbl_Description->sizeHint().width()) + kGap + g.EnergyWidth;
  const int titleMin =
      kNumberWidth + kGap + std::max(kMinFieldWidth, p.lbl_Name->sizeHint().width());
  g.MinWidth = 2 * kMargin + std::max({bodyMin, titleMin, leftMin, plain ? g.ImageColumn : 0});
  return g;
}

}  // namespace

// Below the title row: the top of the separator and of the description.
static int BodyTop(const TEditPanel& p) {
  return kMargin + p.lbl_Name->sizeHint().height() + kCaptionGap + p.edt_Name->sizeHint().height() +
         kGap;
}

QSize TEditPanel::NeededSize(int width) const {
  if (edt_Number->isHidden()) {
    // Catalogues, journals and nights: the title and the graphs behind it
    // take whatever room there is.
    return {std::max(2 * kMargin + kMinFieldWidth, FGraphsWidth), 0};
  }
  const QWidget* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  const TExperienceGrid g = ExperienceGrid(width, !mmo_Description->isHidden(), boxes, *this);
  return {g.MinWidth, BodyTop(*this) + g.MinBodyHeight + kGap + g.BlockHeight + kMargin};
}

void TEditPanel::SetGraphsWidth(int width) {
  if (width == FGraphsWidth) return;
  FGraphsWidth = width;
  LayoutWorkArea();
}

void TEditPanel::LayoutWorkArea() {
  if (!btn_ReadOnly || !scr_WorkArea) return;  // the panel is still being built
  // The panel fills the visible area and grows where its controls need
  // more; a scroll bar that comes or goes resizes the view and lays out again.
  const QSize view = scr_WorkArea->viewport()->size();
  const int width = std::max(view.width(), NeededSize(view.width()).width());
  const int height = std::max(view.height(), NeededSize(width).height());
  if (size() != QSize(width, height)) resize(width, height);
  PlaceControls();
}

void TEditPanel::PlaceControls() {
  const int width = this->width();
  const int height = this->height();
  const int captionH = lbl_Name->sizeHint().height();
  const int editH = edt_Name->sizeHint().height();
  const int buttonH = btn_LoadImage->sizeHint().height();
  const int boxH = btn_ReadOnly->sizeHint().height();
  const int fieldTop = kMargin + captionH + kCaptionGap;
  auto place = [](QWidget* w, int x, int y, int wd, int ht) {
    w->setGeometry(x, y, std::max(wd, 0), std::max(ht, 0));
  };

  // Title row; for an experience the number stands to the left of the title.
  const bool experience = !edt_Number->isHidden();
  int nameLeft = kMargin;
  if (experience) {
    place(lbl_Number, kMargin, kMargin, kNumberWidth, captionH);
    place(edt_Number, kMargin, fieldTop, kNumberWidth, editH);
    nameLeft += kNumberWidth + kGap;
  }
  place(lbl_Name, nameLeft, kMargin, width - kMargin - nameLeft, captionH);
  place(edt_Name, nameLeft, fieldTop, width - kMargin - nameLeft, editH);
  const int bodyTop = fieldTop + editH + kGap;
  place(bvl_Border, kBorderInset, bodyTop, width - 2 * kBorderInset, kBorderHeight);

  if (!experience) {
    // A night's comment fills the place of the journal's lower graph.
    const TGraphRect lower = JournalPanel(2, {width, height, bodyTop, bodyTop + kBorderHeight});
    place(lbl_Comment, lower.Left, lower.Top, width - 2 * lower.Left, captionH);
    const int memoTop = lower.Top + captionH + kCaptionGap;
    place(mmo_Comment, lower.Left, memoTop, width - 2 * lower.Left, lower.Bottom - memoTop);
    return;
  }

  const QWidget* marks[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  const TExperienceGrid g = ExperienceGrid(width, !mmo_Description->isHidden(), marks, *this);
  const bool plain = g.Plain;

  // Bottom block: comment, marks and the read-only box on the left, the
  // image with its buttons on the right or below (HTML experiences: marks only).
  const int blockTop = height - kMargin - g.BlockHeight;
  const int leftWidth = g.LeftWidth;
  int marksTop = blockTop;
  if (plain) {
    place(lbl_Comment, kMargin, blockTop, leftWidth, captionH);
    place(mmo_Comment, kMargin, blockTop + captionH + kCaptionGap, leftWidth, kCommentHeight);
    marksTop = blockTop + g.CommentBlock;

    const int imageLeft = g.PictureBelow ? kMargin : width - kMargin - g.ImageColumn;
    const int imageBlockTop = g.PictureBelow ? marksTop + g.MarksHeight + kGap : blockTop;
    place(lbl_Image, imageLeft, imageBlockTop, g.ImageColumn, captionH);
    const int imageTop = imageBlockTop + captionH + kCaptionGap;
    place(img_Image, imageLeft + (g.ImageColumn - kImageSize) / 2, imageTop, kImageSize,
          kImageSize);
    const int buttonWidth = std::max((g.ImageColumn - kGap) / 2, btn_LoadImage->sizeHint().width());
    const int buttonTop = imageTop + kImageSize + kGap;
    place(btn_LoadImage, imageLeft, buttonTop, buttonWidth, buttonH);
    place(btn_ClearImage, imageLeft + buttonWidth + kGap, buttonTop,
          g.ImageColumn - buttonWidth - kGap, buttonH);
  }
  QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  int shown = 0;
  for (QCheckBox* box : boxes) {
    if (box->isHidden()) continue;
    const int row = shown / g.Columns;
    const int column = shown % g.Columns;
    place(box, kMargin + column * g.ColumnWidth, marksTop + row * (boxH + kCaptionGap),
          std::min(box->sizeHint().width(), g.Columns == 1 ? leftWidth : g.ColumnWidth), boxH);
    ++shown;
  }
  // The last row holds the read-only box and the dream properties button,
  // which goes under the box where the row is too narrow for both.
  const int lastRowTop = marksTop + g.MarkRows * (boxH + kCaptionGap);
  const int rowH = std::max(boxH, buttonH);
  const int readOnlyWidth = std::min(leftWidth, g.ReadOnlyWidth);
  const int propertiesWidth = std::min(btn_DreamProperties->sizeHint().width(), leftWidth);
  if (g.PropertiesOwnRow) {
    place(btn_ReadOnly, kMargin, lastRowTop, readOnlyWidth, boxH);
    place(btn_DreamProperties, kMargin, lastRowTop + boxH + kCaptionGap, propertiesWidth, buttonH);
  } else {
    place(btn_ReadOnly, kMargin, lastRowTop + (rowH - boxH) / 2, readOnlyWidth, boxH);
    place(btn_DreamProperties, kMargin + readOnlyWidth + kGap, lastRowTop, propertiesWidth,
          buttonH);
  }

  // Energy column at the right of the description (or the HTML editor).
  const int energyWidth = g.EnergyWidth;
  const int energyLeft = width - kMargin - energyWidth;
  const int bodyBottom = blockTop - kGap;
  const int contentTop = bodyTop + captionH + kCaptionGap;
  place(lbl_Energy, energyLeft, bodyTop, energyWidth, captionH);
  place(trb_Energy, energyLeft, contentTop, kTrackWidth, bodyBottom - contentTop);
  const int levelWidth = energyWidth - kLevelLabelOffset;
  const int levelH = lbl_ZeroEnergyLevel->sizeHint().height();
  const QRect track = trb_Energy->geometry();
  place(lbl_HighEnergyLevel, track.left() + kLevelLabelOffset, track.top(), levelWidth, levelH);
  place(lbl_ZeroEnergyLevel, track.left() + kLevelLabelOffset,
        track.top() + (track.height() - levelH) / 2, levelWidth, levelH);
  place(lbl_LowEnergyLevel, track.left() + kLevelLabelOffset, track.top() + track.height() - levelH,
        levelWidth, levelH);

  const int bodyWidth = energyLeft - kGap - kMargin;
  place(lbl_Description, kMargin, bodyTop, bodyWidth, captionH);
  place(mmo_Description, kMargin, contentTop, bodyWidth, bodyBottom - contentTop);
  place(pnl_HTMLEditor, kMargin, bodyTop, bodyWidth, bodyBottom - bodyTop);
}
