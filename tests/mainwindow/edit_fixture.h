#pragma once

// The fixture of the edit commands: a library written by the test, the
// window over it, and helpers to answer its dialogs and fire its commands.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "main_form_fixture.h"
#include "storage/smr_Types.h"

inline const std::string kEmptyJournalBytes =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
    "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n"
    "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n"
    "\r\n"
    "<somnary>\r\n"
    "</somnary>\r\n";

class Edit : public TMainFormFixture {
 protected:
  // Opens a library "Lib" with the given body; `options` goes into the settings.
  void StartWith(const std::string& body, const std::string& options = {}) {
    WriteFile("lib.xml",
              kLibraryProlog + "<dreamlibrary name=\"Lib\">\n" + body + "</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"), options);
    Start();
    ASSERT_NE(Node({"Lib"}), nullptr);
  }
  void WriteJournal(const QString& name, const std::string& body) {
    WriteFile(name, kJournalProlog + "<somnary>\n" + body + "</somnary>\n");
  }
  std::string FileElement(const std::string& name, const QString& journal,
                          const std::string& extra = {}) {
    return "    <file name=\"" + name + "\" path=\"" + NativePath(journal) + "\"" + extra + " />\n";
  }

  // Commands are fired only when the window offers them.
  [[nodiscard]] static bool Trigger(QAction* action) {
    if (!action->isEnabled()) return false;
    action->trigger();
    return true;
  }
  [[nodiscard]] static bool Click(QToolButton* button) {
    if (!button->isEnabled()) return false;
    button->click();
    return true;
  }
  void Answer(const QString& first, const QString& second = {}, int radio = 0) {
    Prompts->NewElements.push_back({true, first, second, radio});
  }

  TXMLNode* Root() const { return Form->Library().Root.get(); }
  static TXMLNode* Element(QTreeWidgetItem* item) { return Tfrm_MainForm::ElementOf(item); }
  QTreeWidgetItem* Current() const { return Tree()->currentItem(); }
  static QStringList Captions(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; i < item->childCount(); ++i) out << item->child(i)->text(0);
    return out;
  }
  // Children as "element:name", hidden ones included.
  static std::vector<std::string> Children(const TXMLNode* element) {
    std::vector<std::string> out;
    for (const auto& child : element->Children)
      out.push_back(child->Name + ":" + child->GetAttribute(smr::atName));
    return out;
  }
  static std::vector<std::string> AttributeNames(const TXMLNode* element) {
    std::vector<std::string> out;
    for (const auto& attribute : element->Attributes) out.push_back(attribute.Name);
    return out;
  }
  std::string SettingsOption(std::string_view name) const {
    TXMLNode* options = Form->Settings().FindNode(smr::elOptions);
    return options ? options->GetAttribute(name) : "<no options>";
  }
};
