#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class TXMLNode;
class TXMLParser;

// The values of the settings file: which element and attribute keep each,
// what a missing one means, reading and writing. Callers see only values.

// Reads the settings file; a new one is windows-1251. A missing file leaves
// a nameless root: it is named, so the file written at exit reads back.
void LoadSettingsFile(TXMLParser& settings, const std::string& fileName);

// Defaults for a value the file lacks.
// The main window's: it asks before a delete unless the file says no, as a
// delete cannot be undone.
inline constexpr bool kConfirmDeleteDefault = true;
// The options dialog's: its box shows only a confirmation the file asks
// for, so without the option it is unticked (and OK then stores no).
inline constexpr bool kConfirmDeleteBoxDefault = false;
// How a new experience's description starts: plain text unless html was chosen.
inline constexpr int kExperienceViewPlainText = 0;
inline constexpr int kExperienceViewHtml = 1;
inline constexpr int kExperienceViewDefault = kExperienceViewPlainText;

// The window's bounds and the tree's width as the `form` element keeps them.
struct TFormBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int TreeWidth = 0;
  bool operator==(const TFormBounds&) const = default;
};

// The icon slots, in image-index order.
enum class TIconSlot { OpenedNode, Library, Directory, File, Night, Dream, Other };
inline constexpr int kIconSlotCount = 6;
inline constexpr int kMarkCount = 4;

// What the window applies at start, one entry per element, in the order of
// the file (opening the library in the middle sees only what came before).
struct TIconSetting {
  QString Path;  // an icon without a path gives no entry
  TIconSlot Slot = TIconSlot::Other;
};
// At the first label: all four captions at once, as the export tool reads them.
struct TMarkCaptionsSetting {
  std::array<std::string, kMarkCount> Captions;
};
// The numbers a `form` element has; a missing or unreadable one keeps what
// the window has.
struct TFormSetting {
  std::optional<int> Left, Top, Width, Height, TreeWidth;
};
// The options as read up to this element: each `options` element changes
// only what it says, starting from the window's defaults.
struct TOptionsSetting {
  bool ConfirmDelete = kConfirmDeleteDefault;
  int ExperienceView = kExperienceViewDefault;
};
struct TLibrarySetting {
  QString Path;  // a library element without a path gives no entry
};
using TStartSetting = std::variant<TIconSetting, TMarkCaptionsSetting, TFormSetting,
                                   TOptionsSetting, TLibrarySetting>;
std::vector<TStartSetting> ReadStartSettings(const TXMLNode& settingsRoot);

// The captions of the four marks: `caption` of the first four `label`
// children of the settings root, in order. A missing label or caption (read
// as "undefined") gives an empty text: that mark has no caption. The window
// and the export tool both take their captions from here.
std::array<std::string, kMarkCount> ReadMarkCaptions(const TXMLNode& settingsRoot);

// The `dream-form` descriptions, in order, for the dream properties dialog.
std::vector<const TXMLNode*> DreamForms(const TXMLNode& settingsRoot);

// The options dialog's reading: the library path (nullopt when not stored)
// and its delete box (kConfirmDeleteBoxDefault without an options element).
std::optional<std::string> ReadLibraryPath(const TXMLParser& settings);
bool ReadConfirmDeleteBox(const TXMLParser& settings);

// Writing: each value goes into its element, made at the end of the root
// when missing; other attributes and elements stay as they are.
void WriteFormBounds(TXMLParser& settings, const TFormBounds& bounds);
void WriteLibraryPath(TXMLParser& settings, std::string_view storedPath);
void WriteConfirmDelete(TXMLParser& settings, bool confirm);
void WriteExperienceView(TXMLParser& settings, int view);
// The CSV import's column mapping last chosen, as the import writes it
// (element text, so any header name keeps its quotes); empty when none.
QString ReadCsvImportMapping(const TXMLParser& settings);
void WriteCsvImportMapping(TXMLParser& settings, const QString& mapping);

// Dated copies of the library at the first save of each day: on unless the
// file says no; an empty folder means the one beside the library.
struct TBackupSetting {
  bool Daily = true;
  QString Folder;
  bool operator==(const TBackupSetting&) const = default;
};
TBackupSetting ReadBackupSetting(const TXMLParser& settings);
// Settings that say nothing of backups keep saying nothing while the
// defaults are chosen, so their bytes stay as they were.
void WriteBackupSetting(TXMLParser& settings, const TBackupSetting& backups);

// The mark captions and icon paths the options dialog edits: the first four
// labels and six icons are found when it is made, and Write changes those
// very elements. The document must outlive it.
class TAppearanceSettings {
 public:
  explicit TAppearanceSettings(TXMLParser& settings);
  // Nullopt when that label or icon, or its attribute, is missing.
  std::optional<std::string> Caption(int mark) const;
  std::optional<std::string> IconPath(int slot) const;
  // Stored (windows-1251) texts. An empty caption removes its label; a
  // missing label or icon is appended; each icon takes its slot's name.
  void Write(const std::array<std::string, kMarkCount>& captions,
             const std::array<std::string, kIconSlotCount>& iconPaths);

 private:
  TXMLNode* FRoot;
  std::array<TXMLNode*, kMarkCount> FLabels{};
  std::array<TXMLNode*, kIconSlotCount> FIcons{};
};

// A new child of that kind appended as the last one, one level below.
TXMLNode* AppendElement(TXMLNode& parent, std::string_view name, std::uint8_t kind);
// The ensure-element rule of the settings and the library: the element
// FindNode finds in the document, or a new one appended to the root.
TXMLNode* EnsureElement(TXMLParser& document, std::string_view name, std::uint8_t kind);
