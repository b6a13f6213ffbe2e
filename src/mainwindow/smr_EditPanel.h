#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "mainwindow/smr_Prompts.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class TClickLabel;
class THTMLEditor;
class TXMLNode;
class TXMLPairList;

// Element kinds of the editing panel.
enum TElementKind { ekLibrary = 0, ekDirectory = 1, ekJournal = 2, ekNight = 3, ekExperience = 4 };

// The editing panel: the fields of the element selected in the tree. Every
// change goes at once into that element's XML node; the tree caption follows
// through CaptionChanged. It sits in a scroll area (scr_WorkArea) that fills
// the work area it is created in: the panel is as large as that area, or as
// large as its controls need when the area is smaller.
//
// The window owns what the panel refers to (the pair list, the prompts and
// the open-file dialog state it shares with Open), and all of it outlives
// the panel. The panel keeps no document: the window hands it the element to
// show and takes it away (SetElement(nullptr)) before that element goes.
class TEditPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int ImageSize = 140;  // img_Image is this wide and high

  // dataDir ends with '/' and holds empty.bmp.
  TEditPanel(QWidget* workArea, const QString& dataDir, const TXMLPairList& pairs,
             TPrompts& prompts, TFileDialogState& openImage);

  // The element the handlers write to; null: they write nothing.
  void SetElement(TXMLNode* element);
  TXMLNode* Element() const { return FShownElement; }
  // The file a stored picture path leads to (the window's resolver); unset:
  // the path as it is.
  std::function<QString(const std::string& stored)> PictureFile;

  // Loads the fields from the element (a handler runs where a shown value
  // differs, and writes it back), then shows the fields of that kind.
  void FillPanel(TElementKind kind, TXMLNode* element);
  void LayoutPanel(TElementKind kind);
  // Sizes the panel for its scroll area and places the shown controls
  // (smr_EditPanel_Layout.cpp).
  void LayoutWorkArea();
  // The width the graphs behind a catalogue, journal or night need; the
  // panel grows to it and the work area scrolls.
  void SetGraphsWidth(int width);

  void LockEditing();
  void UnlockEditing();

  // A mark without a caption ("undefined" included) is not shown.
  void SetMarkCaption(int index, const QString& caption);
  // All four, shown or hidden at once when an experience is on show.
  void SetMarkCaptions(const std::array<QString, 4>& captions);

  // "number. title" of an experience's tree node.
  static QString ExperienceCaption(const TXMLNode* experience);

 signals:
  // The caption of the shown element's tree node after an edit.
  void CaptionChanged(const QString& caption);

 public slots:
  void edt_NumberChange();
  void edt_NameChange();
  void mmo_DescriptionChange();
  void mmo_CommentChange();
  void box_Label1Click();
  void box_Label2Click();
  void box_Label3Click();
  void box_Label4Click();
  void trb_EnergyChange();
  void lbl_HighEnergyLevelDblClick();
  void lbl_ZeroEnergyLevelDblClick();
  void lbl_LowEnergyLevelDblClick();
  void btn_LoadImageClick();
  void btn_ClearImageClick();
  void btn_ReadOnlyClick();

 public:
  // --- controls, named as in the program's forms
  QLabel* lbl_Number = nullptr;
  QLineEdit* edt_Number = nullptr;
  QLabel* lbl_Name = nullptr;
  QLineEdit* edt_Name = nullptr;
  QFrame* bvl_Border = nullptr;  // separator above the statistics graphs
  QLabel* lbl_Description = nullptr;
  QPlainTextEdit* mmo_Description = nullptr;
  QLabel* lbl_Comment = nullptr;
  QPlainTextEdit* mmo_Comment = nullptr;
  QCheckBox* box_Label1 = nullptr;
  QCheckBox* box_Label2 = nullptr;
  QCheckBox* box_Label3 = nullptr;
  QCheckBox* box_Label4 = nullptr;
  QLabel* lbl_Energy = nullptr;
  QSlider* trb_Energy = nullptr;
  TClickLabel* lbl_HighEnergyLevel = nullptr;
  TClickLabel* lbl_ZeroEnergyLevel = nullptr;
  TClickLabel* lbl_LowEnergyLevel = nullptr;
  QLabel* lbl_Image = nullptr;
  QLabel* img_Image = nullptr;
  QPushButton* btn_LoadImage = nullptr;
  QPushButton* btn_ClearImage = nullptr;
  QCheckBox* btn_ReadOnly = nullptr;
  QPushButton* btn_DreamProperties = nullptr;  // the window opens the dialog
  THTMLEditor* pnl_HTMLEditor = nullptr;       // shown for HTML experiences
  QScrollArea* scr_WorkArea = nullptr;         // holds the panel

 private:
  void ShowMarks(bool experience);
  void CreatePanel();
  TXMLNode* EnsureChild(TXMLNode* parent, std::string_view name, std::uint8_t kind);
  void ShowImage(const QString& path);
  void ColourEnergyLabels();
  void LabelClick(int index);
  void ApplyReadOnlyState(bool locked);
  // The size the shown controls need at the given width (smr_EditPanel_Layout.cpp).
  QSize NeededSize(int width) const;
  int FGraphsWidth = 0;
  void PlaceControls();

  QString FDataDir;
  const TXMLPairList& FPairs;
  TPrompts& FPrompts;
  TFileDialogState& dlg_OpenImage;
  TXMLNode* FShownElement = nullptr;
  bool FShowsLibrary = false;  // the shown element is the library's root
  bool FMarkNamed[4] = {false, false, false, false};
  QString FMarkCaption[4];
};
