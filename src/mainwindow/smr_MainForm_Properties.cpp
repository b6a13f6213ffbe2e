// The dream properties dialog: built from the settings, opened for the
// shown experience.
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "forms/smr_UserForm.h"
#include "mainwindow/smr_MainForm.h"
#include "storage/smr_Types.h"

void Tfrm_MainForm::ApplyDreamForms() {
  if (FTerminated) return;
  for (const TXMLNode* description : DreamForms(*FSettings->Root)) {
    QString error;
    // A bad description is told once; the program goes on with the
    // controls built before the fault.
    if (!frm_DreamProperties->BuildForm(*description, error)) {
      Prompts().Error(this, error);
      return;
    }
  }
}

void Tfrm_MainForm::btn_DreamPropertiesClick() {
  TXMLNode* experience = pnl_Edit->Element();
  if (!experience || experience->Name != smr::elExperience) return;
  QPushButton* button = pnl_Edit->btn_DreamProperties;
  const QPoint anchor = button->mapToGlobal(QPoint(0, button->height() + 2));
  const QScreen* screen = QGuiApplication::screenAt(anchor);
  frm_DreamProperties->PlaceWithin(anchor,
                                   (screen ? screen : button->screen())->availableGeometry());

  TXMLNode* properties = experience->FindNode(smr::elProperties);
  QWidget* area = frm_DreamProperties->pnl_WorkArea;
  Tfrm_DreamProperties::ClearValues(area);
  Tfrm_DreamProperties::LoadValues(properties, area);
  if (Prompts().Modal(*frm_DreamProperties) != Tfrm_DreamProperties::ResultOk) return;
  if (!properties) {
    properties =
        experience->AddChild(std::make_unique<TXMLNode>(std::string(smr::elProperties), nkElement));
    properties->SetLevel(experience->Level + 1);
  }
  Tfrm_DreamProperties::StoreValues(properties, area);
}
