// Where the editing panel puts its controls for the size it has.
#include "mainwindow/smr_EditPanel.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "graphs/smr_GraphSetup.h"
#include "mainwindow/smr_ClickLabel.h"

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

}  // namespace

void TEditPanel::LayoutWorkArea() {
  if (!btn_ReadOnly) return;  // the panel is still being built
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

  const bool plain = !mmo_Description->isHidden();

  // Bottom block: comment, marks and the read-only box on the left, the
  // image with its buttons on the right (HTML experiences: marks only).
  // The image column is wide enough for both buttons at their natural size.
  const int imageColumn = std::max(kImageSize, btn_LoadImage->sizeHint().width() + kGap +
                                                   btn_ClearImage->sizeHint().width());
  const int imageLeft = width - kMargin - imageColumn;
  const int leftWidth = plain ? imageLeft - 2 * kGap - kMargin : width - 2 * kMargin;
  QCheckBox* boxes[4] = {box_Label1, box_Label2, box_Label3, box_Label4};
  int shownMarks = 0;
  int markWidth = 0;
  for (QCheckBox* box : boxes) {
    if (box->isHidden()) continue;
    ++shownMarks;
    markWidth = std::max(markWidth, box->sizeHint().width());
  }
  const int columnWidth = markWidth + 2 * kGap;
  const int columns = (shownMarks > 1 && 2 * columnWidth <= leftWidth) ? 2 : 1;
  const int markRows = (shownMarks + columns - 1) / columns;
  // The last row holds the read-only box and the dream properties button.
  const int lastRowH = std::max(boxH, buttonH);
  const int marksHeight = markRows * (boxH + kCaptionGap) + lastRowH + kCaptionGap;
  const int imageBlock = captionH + kCaptionGap + kImageSize + kGap + buttonH;
  const int commentBlock = plain ? captionH + kCaptionGap + kCommentHeight + kGap : 0;
  const int blockHeight = plain ? std::max(imageBlock, commentBlock + marksHeight) : marksHeight;
  const int blockTop = height - kMargin - blockHeight;

  int marksTop = blockTop;
  if (plain) {
    place(lbl_Comment, kMargin, blockTop, leftWidth, captionH);
    place(mmo_Comment, kMargin, blockTop + captionH + kCaptionGap, leftWidth, kCommentHeight);
    marksTop = blockTop + commentBlock;

    place(lbl_Image, imageLeft, blockTop, imageColumn, captionH);
    const int imageTop = blockTop + captionH + kCaptionGap;
    place(img_Image, imageLeft + (imageColumn - kImageSize) / 2, imageTop, kImageSize, kImageSize);
    const int buttonWidth = (imageColumn - kGap) / 2;
    const int buttonTop = imageTop + kImageSize + kGap;
    place(btn_LoadImage, imageLeft, buttonTop, buttonWidth, buttonH);
    place(btn_ClearImage, imageLeft + buttonWidth + kGap, buttonTop, imageColumn - buttonWidth - kGap,
          buttonH);
  }
  int shown = 0;
  for (QCheckBox* box : boxes) {
    if (box->isHidden()) continue;
    const int row = shown / columns;
    const int column = shown % columns;
    place(box, kMargin + column * columnWidth, marksTop + row * (boxH + kCaptionGap),
          std::min(box->sizeHint().width(), columns == 1 ? leftWidth : columnWidth), boxH);
    ++shown;
  }
  const int lastRowTop = marksTop + markRows * (boxH + kCaptionGap);
  const int readOnlyWidth = std::min(leftWidth, btn_ReadOnly->sizeHint().width() + kGap);
  place(btn_ReadOnly, kMargin, lastRowTop + (lastRowH - boxH) / 2, readOnlyWidth, boxH);
  const int propertiesLeft = kMargin + readOnlyWidth + kGap;
  place(btn_DreamProperties, propertiesLeft, lastRowTop,
        std::min(btn_DreamProperties->sizeHint().width(), kMargin + leftWidth - propertiesLeft),
        buttonH);

  // Energy column at the right of the description (or the HTML editor).
  const int energyWidth = std::max(lbl_Energy->sizeHint().width(),
                                   kLevelLabelOffset + lbl_LowEnergyLevel->sizeHint().width());
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
  place(pgc_HTMLEditor, kMargin, bodyTop, bodyWidth, bodyBottom - bodyTop);
}
