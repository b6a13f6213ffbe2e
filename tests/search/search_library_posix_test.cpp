// Journals that are not files: a pipe and a device.
#include <sys/stat.h>
#include <unistd.h>

#include "search_library_fixture.h"

using namespace librarytest;

namespace {

// A journal path naming a pipe nobody writes to, or an endless device, is
// refused at once and named; the other journals are still searched.
TEST_F(LibrarySearch, ToolRefusesAPipeOrADeviceAsAJournalAtOnce) {
  const QString library = dir.filePath("library.xml");
  Write(library, Utf8ToCp1251(kLibrary));
  const QString first = dir.filePath("first.xml"), second = dir.filePath("second.xml");
  for (const bool pipe : {true, false}) {
    SCOPED_TRACE(pipe ? "pipe" : "/dev/zero");
    QFile::remove(second);
    ASSERT_EQ(pipe ? ::mkfifo(second.toUtf8().constData(), 0600)
                   : ::symlink("/dev/zero", second.toUtf8().constData()),
              0);
    const TRun run = RunTool({library, QStringLiteral("летал")});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, first + "\t02.01.24\t001\tПервый полёт\n");
    EXPECT_TRUE(run.Err.contains(second)) << run.Err.toStdString();
  }
}

}  // namespace
