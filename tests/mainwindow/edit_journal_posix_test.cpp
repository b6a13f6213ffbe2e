// Journals that are not files: a pipe and a device.
#include <sys/stat.h>

#include "edit_fixture.h"

// A journal path naming a pipe or a device is refused at once with a
// message naming it (a pipe would hold the window, a device would fill the
// memory), and the session's end leaves both as they were.
TEST_F(Edit, APipeOrADeviceAsAJournalIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(NativePath("pipe.xml").c_str(), 0600), 0);
  StartWith("  <directory name=\"Кат\">\n" + FileElement("P", "pipe.xml") +
            "    <file name=\"Z\" path=\"/dev/zero\" />\n  </directory>\n");
  for (const char* name : {"P", "Z"}) {
    SCOPED_TRACE(name);
    Select(Node({"Lib", U("Кат"), name}));
    ASSERT_EQ(Prompts->Count("Error"), 1);
    const QString told = Prompts->Messages("Error").front();
    EXPECT_TRUE(told.contains(name == std::string("P") ? Path("pipe.xml") : U("/dev/zero")))
        << told.toStdString();
    EXPECT_EQ(Captions(Node({"Lib", U("Кат"), name})), QStringList());
    Prompts->Asked.clear();
  }
  Stop();
  struct stat info {};
  ASSERT_EQ(::stat(NativePath("pipe.xml").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
