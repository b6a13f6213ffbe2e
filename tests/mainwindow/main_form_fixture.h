#pragma once

// A temporary program folder per test: its own dreams.ini, library and
// journals, written in windows-1251 with CR LF from UTF-8 text with LF.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "common/test_files.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "scripted_prompts.h"

using test_files::Cp1251;
using test_files::U;

// The prologs the program writes for new libraries and journals, as text
// (UTF-8, LF) for comparisons with ReadText.
inline const std::string kLibraryProlog =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
    "<?xml-stylesheet href=\"library.xsl\" type=\"text/xsl\"?>\n"
    "<!DOCTYPE dreamlibrary SYSTEM \"dream_library.dtd\">\n\n";
inline const std::string kJournalProlog =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
    "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\n"
    "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\n\n";

// Restores the current folder when a test that changed it ends.
struct TCurrentDirGuard {
  QString saved = QDir::currentPath();
  ~TCurrentDirGuard() { QDir::setCurrent(saved); }
};

// The statistics a catalogue without journals caches when it is first
// selected (mark 1 named "Осознанный сон"), as text at that indentation.
inline std::string EmptyCatalogueCache(const std::string& indent) {
  const char* graphs[] = {
      "header=\"Общее количество опытов в журналах\" footer=\"Всего опытов: 0\"",
      "header=\"Среднее количество опытов за день\" "
      "footer=\"Среднее количество опытов за весь период: 0\"",
      "header=\"Число опытов с пометкой: [Осознанный сон]\" "
      "footer=\"Общее количество подобных опытов: 0\"",
  };
  std::string text = indent + "<statistic>\n";
  for (const char* graph : graphs)
    text += indent + "  <graph " + graph + ">\n" + indent + "  </graph>\n";
  return text + indent + "</statistic>\n";
}

class TMainFormFixture : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  TScriptedPrompts* Prompts = nullptr;  // owned by the window
  std::unique_ptr<Tfrm_MainForm> Form;

  QString Path(const QString& name) const { return Dir.filePath(name); }
  std::string NativePath(const QString& name) const { return Path(name).toUtf8().toStdString(); }

  // Writes UTF-8 text with LF line ends as windows-1251 with CR LF.
  void WriteFile(const QString& name, const std::string& utf8) const {
    WriteBytes(name, test_files::FileBytes(utf8));
  }
  void WriteBytes(const QString& name, const std::string& bytes) const {
    test_files::Write(Path(name), bytes);
  }
  std::string ReadBytes(const QString& name) const {
    return test_files::Read(Path(name)).toStdString();
  }
  // The file's text as UTF-8 with LF, for readable comparisons.
  std::string ReadText(const QString& name) const { return test_files::FileText(ReadBytes(name)); }

  // A settings file naming a library; captions are the four marks.
  void WriteSettings(const std::string& libraryPath, const std::string& extra = {}) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<settings>\n"
        "  <label caption=\"Осознанный сон\" />\n"
        "  <label caption=\"Астральная проекция\" />\n"
        "  <label caption=\"Выход из тела\" />\n"
        "  <label caption=\"Другой опыт\" />\n" +
        extra;
    if (!libraryPath.empty()) text += "  <library path=\"" + libraryPath + "\" />\n";
    text += "</settings>\n";
    WriteFile("dreams.ini", text);
  }

  // Creates the window over the temporary folder with scripted prompts;
  // answers for start-up questions must be queued through `setup`.
  template <typename Setup>
  void Start(Setup setup) {
    auto prompts = std::make_unique<TScriptedPrompts>();
    Prompts = prompts.get();
    setup(*Prompts);
    Form = std::make_unique<Tfrm_MainForm>(Dir.path(), std::move(prompts));
  }
  void Start() {
    Start([](TScriptedPrompts&) {});
  }
  // Destroys the window, which writes every document.
  void Stop() {
    Form.reset();
    Prompts = nullptr;
  }

  // Key presses carrying each character, also those no ASCII key gives.
  static void Type(QWidget* field, const QString& text) {
    for (QChar ch : text) {
      if (ch.unicode() < 128)
        QTest::keyClick(field, static_cast<char>(ch.unicode()));
      else
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }

  QTreeWidget* Tree() const { return Form->tre_Directory; }
  TEditPanel* EditPanel() const { return Form->pnl_Edit; }
  // Finds a tree node by its caption path, e.g. {"Lib", "Cat", "Journal"}.
  QTreeWidgetItem* Node(std::initializer_list<QString> captions) const {
    QTreeWidgetItem* item = nullptr;
    for (const QString& caption : captions) {
      QTreeWidgetItem* next = nullptr;
      const int count = item ? item->childCount() : Tree()->topLevelItemCount();
      for (int i = 0; i < count && !next; ++i) {
        QTreeWidgetItem* candidate = item ? item->child(i) : Tree()->topLevelItem(i);
        if (candidate->text(0) == caption) next = candidate;
      }
      if (!next) return nullptr;
      item = next;
    }
    return item;
  }
  void Select(QTreeWidgetItem* item) const { Tree()->setCurrentItem(item); }
};
