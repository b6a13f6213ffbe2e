// A library only its owner can read: encrypted through the window, ended
// by the session's end, unlocked, edited and decrypted back to its bytes;
// wrong passphrases; a job killed half-way and finished at the next opening.
#include <QDirIterator>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <map>

#include "app/smr_SessionEnd.h"
#include "crypto/smr_Seal.h"
#include "edit_fixture.h"
#include "storage/smr_LibrarySealing.h"
#include "xml/xml_seal.h"

namespace {

const QString kPassphrase = U("лунная дорожка 2026");

// Every file below the folder but the settings, by relative name.
std::map<QString, std::string> Snapshot(const QString& folder) {
  std::map<QString, std::string> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString name = QDir(folder).relativeFilePath(path);
    if (name != "dreams.ini") files[name] = test_files::Read(path).toStdString();
  }
  return files;
}

TPrompts::TPassphraseAnswer Said(const QString& passphrase, const QString& current = {}) {
  return {true, passphrase, current};
}

class Encryption : public Edit {
 protected:
  // The sample library the program ships, with a backup beside a journal.
  void CopySample() {
    QDir().mkpath(Path("sample"));
    for (const QString& name : QDir(SOMNARY_SAMPLE_DIR).entryList(QDir::Files))
      WriteBytes("sample/" + name,
                 test_files::Read(QString(SOMNARY_SAMPLE_DIR) + "/" + name).toStdString());
    WriteBytes("sample/practice.xml.bak", ReadBytes("sample/practice.xml"));
    WriteSettings(NativePath("sample/library.xml"));
  }
  // The titles and names the files hold, as the disk holds them.
  std::vector<std::string> Secrets() const {
    std::vector<std::string> secrets;
    const QRegularExpression attribute(R"re((?:title|name)="([^"]{4,})")re");
    for (const char* file :
         {"sample/autumn2026.xml", "sample/practice.xml", "sample/library.xml"}) {
      const QString text = QString::fromStdString(ReadText(QString(file)));
      for (auto m = attribute.globalMatch(text); m.hasNext();)
        secrets.push_back(Cp1251(m.next().captured(1).toStdString()));
    }
    return secrets;
  }
  // Runs this test program again as the window that encrypts, and ends it
  // with SIGTERM, as a logout would.
  void EncryptInAWindowEndedBySigterm() {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SOMNARY_ENCRYPTION_CHILD", Dir.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=EncryptionChild.*", "--gtest_also_run_disabled_tests"});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("encrypted") && child.waitForReadyRead(60000)) out += child.readAll();
    ASSERT_TRUE(out.contains("encrypted"))
        << out.toStdString() << child.readAllStandardError().toStdString();
    child.terminate();
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  }
};

TEST(EncryptionChild, EncryptsAndWaitsForTheSessionsEnd) {
  const QString folder = qEnvironmentVariable("SOMNARY_ENCRYPTION_CHILD");
  if (folder.isEmpty()) GTEST_SKIP() << "run only as the child of the encryption test";
  CatchSessionEnd();
  auto prompts = std::make_unique<TScriptedPrompts>();
  prompts->Passphrases.push_back(Said(kPassphrase));
  Tfrm_MainForm form(folder, std::move(prompts));
  form.show();
  // An edit not saved yet goes sealed at the session's end.
  form.tre_Directory->setCurrentItem(form.tre_Directory->topLevelItem(0)->child(0)->child(0));
  form.mnu_EncryptLibraryClick();
  QEventLoop loop;
  OnSessionEnd(*qApp, {}, [&loop] { loop.quit(); });
  std::printf("encrypted\n");
  std::fflush(stdout);
  loop.exec();
  form.EndSession();
}

TEST_F(Encryption, TheSampleIsSealedOnDiskThenUnlockedEditedAndDecryptedToItsBytes) {
  CopySample();
  const std::map<QString, std::string> original = Snapshot(Dir.path());
  const std::vector<std::string> secrets = Secrets();
  ASSERT_GE(secrets.size(), 6u);
  EncryptInAWindowEndedBySigterm();

  // No file under the folder holds a title: temporaries, backups and the
  // dated copy of the day included.
  const std::map<QString, std::string> sealed = Snapshot(Dir.path());
  EXPECT_GT(sealed.size(), original.size()) << "the day's dated copy";
  for (const auto& [name, bytes] : sealed) {
    EXPECT_TRUE(IsSealedText(bytes)) << name.toStdString();
    for (const std::string& secret : secrets)
      EXPECT_EQ(bytes.find(secret), std::string::npos) << name.toStdString();
  }

  Start([](TScriptedPrompts& p) { p.Passphrases.push_back(Said(kPassphrase)); });
  ASSERT_EQ(Prompts->Count("Passphrase"), 1);
  QTreeWidgetItem* journal = Node({U("Библиотека сновидений"), U("Дневники"), U("Осень 2026")});
  ASSERT_NE(journal, nullptr) << "the tree is read from the sealed files";
  Select(journal);
  Select(journal->child(0)->child(0));
  QPlainTextEdit* description = EditPanel()->mmo_Description;
  const std::string before = Cp1251(description->toPlainText().toStdString());
  ASSERT_FALSE(before.empty());
  description->moveCursor(QTextCursor::End);
  Type(description, U(" И море."));
  Form->btn_SaveClick();
  EXPECT_TRUE(IsSealedText(ReadBytes("sample/autumn2026.xml")));

  Prompts->Passphrases.push_back(Said(kPassphrase));
  Form->mnu_DecryptLibraryClick();
  EXPECT_EQ(Prompts->Messages("Error"), QStringList());
  std::string edited = original.at("sample/autumn2026.xml");
  edited.replace(edited.find(before), before.size(), before + Cp1251(" И море."));
  EXPECT_EQ(ReadBytes("sample/autumn2026.xml"), edited);
  for (const char* name : {"sample/library.xml", "sample/practice.xml", "sample/practice.xml.bak"})
    EXPECT_EQ(ReadBytes(name), original.at(name)) << name;
  EXPECT_FALSE(QFileInfo::exists(Path("sample/library.xml.somnary-sealing")));
}

// A library sealed with cheap parameters, as a test can afford many times.
class SealedLibrary : public Encryption {
 protected:
  std::shared_ptr<TSealKeyring> Ring =
      std::make_shared<TSealKeyring>(TSealKey::Derive("верный", TSealKey::NewSalt(), {1, 8}));
  void WriteJournals(int count) {
    std::string files;
    for (int i = 0; i < count; ++i) {
      const QString name = QString("j%1.xml").arg(i);
      WriteJournal(name, "  <day name=\"01.09.26\">\n    <experience number=\"1\" title=\"Сон " +
                             std::to_string(i) + "\">\n    </experience>\n  </day>\n");
      files += FileElement("Журнал " + std::to_string(i), name);
    }
    WriteFile("lib.xml", kLibraryProlog +
                             "<dreamlibrary name=\"Lib\">\n  <directory name=\"Cat\">\n" + files +
                             "  </directory>\n</dreamlibrary>\n");
    WriteSettings(NativePath("lib.xml"));
  }
  QStringList Documents(int count) const {
    QStringList files{Path("lib.xml")};
    for (int i = 0; i < count; ++i) files << Path(QString("j%1.xml").arg(i));
    return files;
  }
  QStringList Seal(const QStringList& files) {
    return TLibrarySealing::Run(Path("lib.xml"), TLibrarySealing::TDirection::Seal, files, nullptr,
                                Ring.get(),
                                [](std::string_view start) { return IsSealedText(start); });
  }
};

TEST_F(SealedLibrary, WrongPassphrasesAreToldThreeLeaveNoLibraryAndNothingWritten) {
  WriteJournals(2);
  ASSERT_EQ(Seal(Documents(2)), QStringList());
  const std::map<QString, std::string> sealed = Snapshot(Dir.path());
  // Two wrong, then the right one: opened, each retry told why.
  Start([](TScriptedPrompts& p) {
    p.Passphrases = {Said("неверный"), Said("ещё неверный"), Said("верный")};
  });
  EXPECT_EQ(Prompts->Messages("Passphrase"),
            QStringList({"", U("Неверный пароль. Осталось попыток: 2."),
                         U("Неверный пароль. Осталось попыток: 1.")}));
  EXPECT_NE(Node({"Lib", "Cat", U("Журнал 1")}), nullptr);
  Stop();
  EXPECT_EQ(Snapshot(Dir.path()), sealed);

  // Three wrong: the program runs on with no library, and says so once.
  Start([](TScriptedPrompts& p) { p.Passphrases = {Said("а"), Said("б"), Said("в")}; });
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  ASSERT_EQ(Prompts->Messages("Error").size(), 1);
  EXPECT_TRUE(Prompts->Messages("Error")[0].contains(U("трижды")));
  EXPECT_FALSE(Form->mnu_DecryptLibrary->isEnabled());
  Form->btn_SaveClick();
  Stop();
  EXPECT_EQ(Snapshot(Dir.path()), sealed);
}

TEST_F(SealedLibrary, AJournalLeftOpenStaysSealedAfterAPlainLibraryIsOpened) {
  WriteJournals(1);
  ASSERT_EQ(Seal(Documents(1)), QStringList());
  WriteJournal("plain-j.xml", "  <day name=\"02.09.26\">\n  </day>\n");
  WriteFile("plain.xml", kLibraryProlog + "<dreamlibrary name=\"Plain\">\n" +
                             FileElement("Открытый", "plain-j.xml") + "</dreamlibrary>\n");
  Start([](TScriptedPrompts& p) { p.Passphrases.push_back(Said("верный")); });
  Select(Node({"Lib", "Cat", U("Журнал 0")}));
  Prompts->OpenFiles.push_back(Path("plain.xml"));
  Form->btn_OpenClick();
  ASSERT_NE(Node({"Plain"}), nullptr);
  Form->btn_SaveClick();
  Stop();
  EXPECT_TRUE(IsSealedText(ReadBytes("j0.xml")));
  EXPECT_TRUE(IsSealedText(ReadBytes("lib.xml")));
  EXPECT_FALSE(IsSealedText(ReadBytes("plain-j.xml")));
}

// Started by SealedLibrary.AJobKilled...: seals slowly until killed.
TEST(SealingChild, SealsOneFileAtATimeUntilKilled) {
  const QString folder = qEnvironmentVariable("SOMNARY_SEALING_CHILD");
  if (folder.isEmpty()) GTEST_SKIP() << "run only as the child of the crash test";
  auto ring =
      std::make_shared<TSealKeyring>(TSealKey::Derive("верный", TSealKey::NewSalt(), {1, 8}));
  QStringList files{folder + "/lib.xml"};
  for (int i = 0; i < 20; ++i) files << folder + QString("/j%1.xml").arg(i);
  TLibrarySealing::Run(
      files[0], TLibrarySealing::TDirection::Seal, files, nullptr, ring.get(),
      [](std::string_view start) { return IsSealedText(start); },
      [](const QString&, int done, int) {
        std::printf("sealed %d\n", done);
        std::fflush(stdout);
        QThread::msleep(100);
      });
}

TEST_F(SealedLibrary, AJobKilledHalfWayLeavesWholeFilesAndIsFinishedAtTheNextOpening) {
  WriteJournals(20);
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("SOMNARY_SEALING_CHILD", Dir.path());
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SealingChild.*"});
  ASSERT_TRUE(child.waitForStarted(10000));
  QByteArray out;
  while (!out.contains("sealed 6") && child.waitForReadyRead(30000)) out += child.readAll();
  ASSERT_TRUE(out.contains("sealed 6")) << out.toStdString();
  child.kill();
  ASSERT_TRUE(child.waitForFinished(10000));

  // Each file says by its first bytes whether it is sealed; none is half-written.
  int sealedCount = 0, plainCount = 0;
  for (const QString& file : Documents(20)) {
    const std::string bytes = test_files::Read(file).toStdString();
    if (IsSealedText(bytes))
      ++sealedCount;
    else if (bytes.rfind("<?xml", 0) == 0)
      ++plainCount;
    else
      ADD_FAILURE() << file.toStdString();
  }
  EXPECT_GE(sealedCount, 6);
  EXPECT_GE(plainCount, 1);

  // The next opening asks the passphrase of the sealed library and offers the rest.
  Start([](TScriptedPrompts& p) {
    p.Passphrases.push_back(Said("верный"));
    p.Choices.push_back(0);
  });
  const QStringList asked = Prompts->Messages("Choose");
  ASSERT_EQ(asked.size(), 1);
  EXPECT_TRUE(asked[0].startsWith(U("Шифрование библиотеки было прервано")))
      << asked[0].toStdString();
  for (const QString& file : Documents(20))
    EXPECT_TRUE(IsSealedText(test_files::Read(file).toStdString())) << file.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Path("lib.xml.somnary-sealing")));
  EXPECT_NE(Node({"Lib", "Cat", U("Журнал 19")}), nullptr);
}

}  // namespace
