// The settings file's values: what a missing one means to each reader, and
// that writing touches only the values written.
#include <gtest/gtest.h>

#include "storage/smr_SettingsFile.h"
#include "xml/xml_mainUnit.h"

namespace {

const std::string kProlog =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n";

void Load(TXMLParser& settings, const std::string& body) {
  settings.LoadFromText(kProlog + "<settings>\n" + body + "</settings>\n");
}

// The written text with its line ends as plain '\n'.
std::string Written(const TXMLParser& settings) {
  std::string text = settings.SaveToText();
  std::erase(text, '\r');
  return text;
}

// The options the window is left with after the start.
TOptionsSetting WindowOptions(const TXMLParser& settings) {
  TOptionsSetting options;
  for (const TStartSetting& setting : ReadStartSettings(*settings.Root))
    if (const auto* read = std::get_if<TOptionsSetting>(&setting)) options = *read;
  return options;
}

TEST(SettingsFile, EachReaderHasItsOwnDefaultForMissingOptions) {
  struct TCase {
    const char* body;
    bool window, box;
    int view;
  } const cases[] = {
      {"", kConfirmDeleteDefault, kConfirmDeleteBoxDefault, kExperienceViewDefault},
      {"  <options />\n", kConfirmDeleteDefault, false, kExperienceViewDefault},
      {"  <options confirmdelete=\"maybe\" experienceview=\"HTML\" />\n", true, false,
       kExperienceViewPlainText},
      // The window takes what each element says; the dialog reads the last one.
      {"  <options confirmdelete=\"no\" experienceview=\"html\" />\n"
       "  <options confirmdelete=\"yes\" />\n",
       true, true, kExperienceViewHtml},
      {"  <options confirmdelete=\"no\" />\n  <options experienceview=\"plaintext\" />\n", false,
       false, kExperienceViewPlainText},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.body);
    TXMLParser settings;
    Load(settings, c.body);
    EXPECT_EQ(WindowOptions(settings).ConfirmDelete, c.window);
    EXPECT_EQ(WindowOptions(settings).ExperienceView, c.view);
    EXPECT_EQ(ReadConfirmDeleteBox(settings), c.box);
  }
}

TEST(SettingsFile, StartSettingsKeepTheFileOrder) {
  TXMLParser settings;
  Load(settings,
       "  <icon name=\"One Night\" />\n  <library path=\"a.xml\" />\n"
       "  <icon name=\"One Night\" path=\"n.bmp\" />\n  <label />\n  <label caption=\"B\" />\n"
       "  <form left=\"10\" top=\"x\" width=\"700\" />\n  <dream-form />\n");
  const std::vector<TStartSetting> read = ReadStartSettings(*settings.Root);
  // The icon without a path gives nothing; the captions come once, at the first label.
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(std::get<TLibrarySetting>(read[0]).Path, "a.xml");
  EXPECT_EQ(std::get<TIconSetting>(read[1]).Slot, TIconSlot::Night);
  EXPECT_EQ(std::get<TMarkCaptionsSetting>(read[2]).Captions[1], "B");
  const TFormSetting form = std::get<TFormSetting>(read[3]);
  EXPECT_EQ(form.Left, 10);
  EXPECT_EQ(form.Top, std::nullopt);  // not a number: the window keeps its own
  EXPECT_EQ(form.Height, std::nullopt);
}

TEST(SettingsFile, WritingKeepsOtherElementsAndAttributeOrder) {
  TXMLParser settings;
  Load(settings,
       "  <plugin a=\"1\" />\n  <form treewidth=\"5\" extra=\"x\" left=\"1\" />\n"
       "  <label caption=\"A\" />\n  <icon path=\"old.bmp\" name=\"mine\" />\n"
       "  <options experienceview=\"html\" other=\"1\" />\n");
  TAppearanceSettings appearance(settings);
  EXPECT_EQ(appearance.Caption(0), "A");
  EXPECT_EQ(appearance.Caption(1), std::nullopt);
  WriteFormBounds(settings, {10, 20, 700, 500, 200});
  WriteConfirmDelete(settings, false);
  WriteExperienceView(settings, kExperienceViewPlainText);
  WriteLibraryPath(settings, "lib.xml");
  appearance.Write({"", "B", "", ""}, {"a.bmp", "", "", "", "", "d.bmp"});
  EXPECT_EQ(
      Written(settings),
      kProlog +
          "<settings>\n  <plugin a=\"1\" />\n"
          "  <form treewidth=\"200\" extra=\"x\" left=\"10\" top=\"20\" width=\"700\" "
          "height=\"500\" />\n"
          "  <icon path=\"a.bmp\" name=\"Opened Node\" />\n"
          "  <options experienceview=\"plaintext\" other=\"1\" confirmdelete=\"no\" />\n"
          "  <library path=\"lib.xml\" />\n  <label caption=\"B\" />\n"
          "  <icon name=\"Dream Library\" path=\"\" />\n"
          "  <icon name=\"Dream Directory\" path=\"\" />\n"
          "  <icon name=\"Dream File\" path=\"\" />\n  <icon name=\"One Night\" path=\"\" />\n"
          "  <icon name=\"One Dream\" path=\"d.bmp\" />\n</settings>\n");
}

}  // namespace

namespace {

TEST(SettingsFile, BackupsAreOnUntilSwitchedOffAndDefaultsWriteNothing) {
  TXMLParser settings;
  Load(settings, "  <options confirmdelete=\"yes\" />\n");
  const std::string before = Written(settings);
  EXPECT_EQ(ReadBackupSetting(settings), TBackupSetting());
  EXPECT_TRUE(ReadBackupSetting(settings).Daily);
  WriteBackupSetting(settings, {});
  EXPECT_EQ(Written(settings), before);

  WriteBackupSetting(settings, {false, QStringLiteral("/копии")});
  EXPECT_EQ(ReadBackupSetting(settings), (TBackupSetting{false, QStringLiteral("/копии")}));
  // Back to the defaults: the element says so, without a folder.
  WriteBackupSetting(settings, {});
  EXPECT_EQ(Written(settings), kProlog +
                                   "<settings>\n  <options confirmdelete=\"yes\" />\n"
                                   "  <backups daily=\"yes\" />\n</settings>\n");
}

}  // namespace

namespace {

// Each form makes up names from 0 again; a name shared by two forms, or
// given to two controls, is one column.
TEST(SettingsFile, PropertyNamesOfEveryFormOnce) {
  TXMLParser settings;
  Load(settings,
       "  <label caption=\"A\" />\n"
       "  <dream-form><edit id=\"mood\" /><Edit /><edit id=\"undefined\" /><edit id=\"mood\" />"
       "</dream-form>\n"
       "  <dream-form><edit /><checkbox id=\"mood\" /><other><edit id=\"hidden\" /></other>"
       "</dream-form>\n");
  EXPECT_EQ(FormPropertyNames(*settings.Root), std::vector<std::string>({"mood", "EDITBOX_0"}));
}

}  // namespace
