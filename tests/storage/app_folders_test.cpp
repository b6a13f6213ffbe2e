// Where the program keeps its settings, and the first run of an installed
// program in a home folder of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/test_files.h"
#include "storage/smr_AppFolders.h"

namespace {

using test_files::Read;

// An installed tree (usr/bin without settings, usr/share/somnary with the
// shipped files) and an empty home folder.
class AppFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Root.isValid());
    Home = Root.filePath("home");
    qputenv("HOME", Home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (Home + "/config").toUtf8());
    qunsetenv("XDG_DATA_DIRS");
    Bin = Root.filePath("usr/bin");
    Data = Root.filePath("usr/share/somnary") + '/';
    ASSERT_TRUE(QDir().mkpath(Bin));
    ASSERT_TRUE(test_files::CopyTree(qEnvironmentVariable("SOMNARY_RESOURCES"), Data));
  }

  QTemporaryDir Root;
  QString Home, Bin, Data;
};

TEST_F(AppFolders, PortableBesideItsSettingsElseTheUsersFolders) {
  const TAppFolders installed = TAppFolders::ForProgram(Bin);
  EXPECT_FALSE(installed.IsPortable());
  EXPECT_EQ(installed.DataDir(), Data);
  EXPECT_EQ(installed.SettingsFile(), Home + "/config/Somnary/dreams.ini");
  EXPECT_EQ(installed.DocumentsDir(), Home + "/Documents/Somnary/");

  // The build folder, or a copy of it anywhere the user may write.
  const TAppFolders portable = TAppFolders::ForProgram(Data);
  EXPECT_TRUE(portable.IsPortable());
  for (const QString& dir : {portable.SettingsDir(), portable.DataDir(), portable.DocumentsDir()})
    EXPECT_EQ(dir, Data);
  EXPECT_EQ(portable.SetUpUserFolders(), QString());
  EXPECT_FALSE(QFileInfo::exists(Home));
}

TEST_F(AppFolders, FirstRunWritesSettingsFromTheTemplateAndCopiesTheSampleOnce) {
  const TAppFolders folders = TAppFolders::ForProgram(Bin);
  ASSERT_EQ(folders.SetUpUserFolders(), QString());

  // The template with the icons and the library as absolute paths, nothing
  // else changed.
  const QString documents = Home + "/Documents/Somnary/";
  QByteArray expected = Read(Data + "dreams.ini");
  expected.replace("path=\"icons/", "path=\"" + Data.toUtf8() + "icons/");
  expected.replace("path=\"sample/library.xml\"",
                   "path=\"" + documents.toUtf8() + "sample/library.xml\"");
  const QByteArray settings = Read(folders.SettingsFile());
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(settings.count("path=\"" + Data.toUtf8() + "icons/"), 6);

  for (const char* file : {"sample/library.xml", "sample/autumn2026.xml", "sample/practice.xml",
                           "journal.xsl", "journal.css", "library.xsl", "library.css"})
    EXPECT_EQ(Read(documents + file), Read(Data + file)) << file;
  // The library's page names its style sheet beside itself.
  EXPECT_EQ(Read(documents + "sample/library.xsl"), Read(Data + "library.xsl"));

  // Later runs keep the user's settings and diary as they are.
  ASSERT_TRUE(test_files::Write(folders.SettingsFile(), "edited"));
  ASSERT_TRUE(QFile::remove(documents + "sample/practice.xml"));
  EXPECT_EQ(folders.SetUpUserFolders(), QString());
  EXPECT_EQ(Read(folders.SettingsFile()), "edited");
  EXPECT_FALSE(QFileInfo::exists(documents + "sample/practice.xml"));
}

TEST_F(AppFolders, ADiaryAlreadyUnderTheSamplesNameIsKeptAndOpened) {
  const QString library = Home + "/Documents/Somnary/sample/library.xml";
  ASSERT_TRUE(QDir().mkpath(QFileInfo(library).path()));
  ASSERT_TRUE(test_files::Write(library, "mine"));
  const TAppFolders folders = TAppFolders::ForProgram(Bin);
  ASSERT_EQ(folders.SetUpUserFolders(), QString());
  EXPECT_EQ(Read(library), "mine");
  EXPECT_TRUE(
      Read(folders.SettingsFile()).contains("<library path=\"" + library.toUtf8() + "\" />"));
}

TEST_F(AppFolders, NoDocumentsFolderStillGivesSettingsButNeverTheShippedLibrary) {
  // A file where the documents folder would be.
  ASSERT_TRUE(QDir().mkpath(Home));
  ASSERT_TRUE(test_files::Write(Home + "/Documents", ""));
  const TAppFolders folders = TAppFolders::ForProgram(Bin);
  const QString problem = folders.SetUpUserFolders();
  EXPECT_TRUE(problem.startsWith(Home + "/Documents/Somnary/sample: ")) << problem.toStdString();
  const QByteArray settings = Read(folders.SettingsFile());
  EXPECT_TRUE(settings.contains("<library />")) << settings.toStdString();
  EXPECT_TRUE(settings.contains("<label caption="));

  // A missing template is named; nothing is made up in its place.
  ASSERT_TRUE(QFile::remove(folders.SettingsFile()));
  ASSERT_TRUE(QFile::remove(Data + "dreams.ini"));
  EXPECT_EQ(folders.SetUpUserFolders(),
            Data + "dreams.ini: " + QString::fromUtf8("нет такого файла"));
  EXPECT_FALSE(QFileInfo::exists(folders.SettingsFile()));
}

}  // namespace
