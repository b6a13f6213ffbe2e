// Killed at any moment during a save, a file is the old or the new one byte
// for byte, and the next save leaves no temporary file behind.
// SOMNARY_CRASH_RUNS sets the number of kills (50 by default).
#include <csignal>
#include <random>

#include "files_fixture.h"

namespace {

class Crash : public TFilesFixture {};

TEST_F(Crash, KilledDuringSavesTheJournalIsOldOrNewByteForByte) {
  const int runs = qEnvironmentVariableIsSet("SOMNARY_CRASH_RUNS")
                       ? qEnvironmentVariableIntValue("SOMNARY_CRASH_RUNS")
                       : 50;
  const QString journal = Path("journal.xml");
  ASSERT_EQ(Run(SOMNARY_SAVE_DRIVER, {Path("a.xml"), "a"}).ExitCode, 0);
  ASSERT_EQ(Run(SOMNARY_SAVE_DRIVER, {Path("b.xml"), "b"}).ExitCode, 0);
  const QByteArray versions[2] = {Read(Path("a.xml")), Read(Path("b.xml"))};
  ASSERT_GT(versions[0].size(), 1 << 20);
  ASSERT_NE(versions[0], versions[1]);

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(1, 400);
  int newer = 0, withTemporary = 0;
  for (int i = 0; i < runs; ++i) {
    SCOPED_TRACE("run " + std::to_string(i) + ", seed " + std::to_string(seed));
    ASSERT_TRUE(Write(journal, versions[0]));
    QProcess driver;
    driver.start(SOMNARY_SAVE_DRIVER, {journal, "loop"});
    ASSERT_TRUE(driver.waitForStarted());
    QThread::msleep(static_cast<unsigned long>(delay(random)));
    ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
    driver.waitForFinished();
    const QByteArray found = Read(journal);
    ASSERT_TRUE(found == versions[0] || found == versions[1]) << found.size() << " bytes";
    newer += found == versions[1];
    withTemporary += !Leftovers().isEmpty();
    ASSERT_EQ(Run(SOMNARY_SAVE_DRIVER, {journal, "a"}).ExitCode, 0);
    ASSERT_EQ(Leftovers(), QStringList());
    ASSERT_EQ(Read(journal), versions[0]);
  }
  std::printf("%d kills: %d left the new version, %d a temporary file\n", runs, newer,
              withTemporary);
}

}  // namespace
