#include "storage/smr_SettingsFile.h"

#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

constexpr std::string_view kIconSlotNames[kIconSlotCount] = {smr::IconOpenedNode, smr::IconLibrary,
                                                             smr::IconDirectory,  smr::IconFile,
                                                             smr::IconNight,      smr::IconDream};

TIconSlot SlotNamed(std::string_view name) {
  for (int i = 0; i < kIconSlotCount; ++i)
    if (kIconSlotNames[i] == name) return static_cast<TIconSlot>(i);
  return TIconSlot::Other;
}

std::optional<int> Number(const TXMLNode& element, std::string_view attribute) {
  if (!element.HasAttribute(attribute)) return std::nullopt;
  const std::string text = element.GetAttribute(attribute);
  bool ok = false;
  const int value =
      QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<std::string> Attribute(const TXMLNode* element, std::string_view attribute) {
  if (!element || !element->HasAttribute(attribute)) return std::nullopt;
  return element->GetAttribute(attribute);
}

TXMLNode* Options(TXMLParser& settings) {
  return EnsureElement(settings, smr::elOptions, nkEmptyElement);
}

}  // namespace

void LoadSettingsFile(TXMLParser& settings, const std::string& fileName) {
  // The settings stay readable whatever the library: they hold no dreams.
  settings.Plain = true;
  settings.Parameters.Encoding = std::string(smr::Encoding1251);
  settings.Load(fileName);
  if (settings.Root->Name.empty()) {
    settings.Root->Name = std::string(smr::SettingsRootName);
    settings.Root->Kind = nkElement;
  }
}

std::vector<TStartSetting> ReadStartSettings(const TXMLNode& settingsRoot) {
  std::vector<TStartSetting> settings;
  bool captionsRead = false;
  TOptionsSetting options;
  for (const auto& child : settingsRoot.Children) {
    const std::string& name = child->Name;
    if (name == smr::elIcon) {
      if (child->HasAttribute(smr::atPath))
        settings.push_back(TIconSetting{ToUi(child->GetAttribute(smr::atPath)),
                                        SlotNamed(child->GetAttribute(smr::atName))});
    } else if (name == smr::elLabel) {
      if (!captionsRead) settings.push_back(TMarkCaptionsSetting{ReadMarkCaptions(settingsRoot)});
      captionsRead = true;
    } else if (name == smr::elForm) {
      settings.push_back(TFormSetting{Number(*child, smr::atLeft), Number(*child, smr::atTop),
                                      Number(*child, smr::atWidth), Number(*child, smr::atHeight),
                                      Number(*child, smr::atTreeWidth)});
    } else if (name == smr::elOptions) {
      const std::string confirm = child->GetAttribute(smr::atConfirmDelete);
      if (confirm == smr::Yes)
        options.ConfirmDelete = true;
      else if (confirm == smr::No)
        options.ConfirmDelete = false;
      if (child->GetAttribute(smr::atExperienceView) == smr::Html)
        options.ExperienceView = kExperienceViewHtml;
      settings.push_back(options);
    } else if (name == smr::elSettingsLibrary) {
      if (child->HasAttribute(smr::atPath))
        settings.push_back(TLibrarySetting{ToUi(child->GetAttribute(smr::atPath))});
    }
  }
  return settings;
}

std::array<std::string, kMarkCount> ReadMarkCaptions(const TXMLNode& settingsRoot) {
  std::array<std::string, kMarkCount> captions;
  std::size_t n = 0;
  for (const auto& child : settingsRoot.Children) {
    if (n == captions.size()) break;
    if (child->Name != smr::elLabel) continue;
    const std::string caption = child->GetAttribute(smr::atCaption);
    if (caption != smr::Undefined) captions[n] = caption;
    ++n;
  }
  return captions;
}

std::vector<const TXMLNode*> DreamForms(const TXMLNode& settingsRoot) {
  std::vector<const TXMLNode*> forms;
  for (const auto& child : settingsRoot.Children)
    if (child->Name == smr::elDreamForm) forms.push_back(child.get());
  return forms;
}

std::optional<std::string> ReadLibraryPath(const TXMLParser& settings) {
  return Attribute(settings.FindNode(smr::elSettingsLibrary), smr::atPath);
}

bool ReadConfirmDeleteBox(const TXMLParser& settings) {
  const TXMLNode* options = settings.FindNode(smr::elOptions);
  if (!options) return kConfirmDeleteBoxDefault;
  return options->GetAttribute(smr::atConfirmDelete) == smr::Yes;
}

void WriteFormBounds(TXMLParser& settings, const TFormBounds& bounds) {
  TXMLNode* form = EnsureElement(settings, smr::elForm, nkEmptyElement);
  form->SetAttribute(smr::atLeft, std::to_string(bounds.Left));
  form->SetAttribute(smr::atTop, std::to_string(bounds.Top));
  form->SetAttribute(smr::atWidth, std::to_string(bounds.Width));
  form->SetAttribute(smr::atHeight, std::to_string(bounds.Height));
  form->SetAttribute(smr::atTreeWidth, std::to_string(bounds.TreeWidth));
}

void WriteLibraryPath(TXMLParser& settings, std::string_view storedPath) {
  EnsureElement(settings, smr::elSettingsLibrary, nkEmptyElement)
      ->SetAttribute(smr::atPath, storedPath);
}

void WriteConfirmDelete(TXMLParser& settings, bool confirm) {
  Options(settings)->SetAttribute(smr::atConfirmDelete, confirm ? smr::Yes : smr::No);
}

void WriteExperienceView(TXMLParser& settings, int view) {
  Options(settings)->SetAttribute(smr::atExperienceView,
                                  view == kExperienceViewHtml ? smr::Html : smr::PlainText);
}

QString ReadCsvImportMapping(const TXMLParser& settings) {
  const TXMLNode* element = settings.FindNode(smr::elCsvImport);
  return element ? MemoText(element->FirstText()) : QString();
}

void WriteCsvImportMapping(TXMLParser& settings, const QString& mapping) {
  TXMLNode* element = EnsureElement(settings, smr::elCsvImport, nkElement);
  element->Kind = nkElement;
  element->ClearChildren();
  auto text = std::make_unique<TXMLNode>(std::string_view{}, nkText);
  text->Value = FromUi(mapping, TTextPlace::ElementText);
  element->AddChild(std::move(text));
}

TBackupSetting ReadBackupSetting(const TXMLParser& settings) {
  TBackupSetting backups;
  const TXMLNode* element = settings.FindNode(smr::elBackups);
  if (!element) return backups;
  backups.Daily = element->GetAttribute(smr::atDaily) != smr::No;
  if (element->HasAttribute(smr::atPath))
    backups.Folder = UiFileName(NativeFileName(element->GetAttribute(smr::atPath)));
  return backups;
}

void WriteBackupSetting(TXMLParser& settings, const TBackupSetting& backups) {
  if (!settings.FindNode(smr::elBackups) && backups == TBackupSetting()) return;
  TXMLNode* element = EnsureElement(settings, smr::elBackups, nkEmptyElement);
  element->SetAttribute(smr::atDaily, backups.Daily ? smr::Yes : smr::No);
  if (backups.Folder.isEmpty())
    element->DeleteAttribute(smr::atPath);
  else
    element->SetAttribute(smr::atPath, DocumentFileName(backups.Folder));
}

TAppearanceSettings::TAppearanceSettings(TXMLParser& settings) : FRoot(settings.Root.get()) {
  std::size_t labels = 0, icons = 0;
  for (const auto& child : FRoot->Children) {
    if (child->Kind == nkText) continue;
    if (child->Name == smr::elLabel && labels < FLabels.size())
      FLabels[labels++] = child.get();
    else if (child->Name == smr::elIcon && icons < FIcons.size())
      FIcons[icons++] = child.get();
  }
}

std::optional<std::string> TAppearanceSettings::Caption(int mark) const {
  return Attribute(FLabels.at(static_cast<std::size_t>(mark)), smr::atCaption);
}

std::optional<std::string> TAppearanceSettings::IconPath(int slot) const {
  return Attribute(FIcons.at(static_cast<std::size_t>(slot)), smr::atPath);
}

void TAppearanceSettings::Write(const std::array<std::string, kMarkCount>& captions,
                                const std::array<std::string, kIconSlotCount>& iconPaths) {
  for (std::size_t i = 0; i < FLabels.size(); ++i) {
    TXMLNode*& label = FLabels[i];
    if (!label) label = AppendElement(*FRoot, smr::elLabel, nkEmptyElement);
    if (!captions[i].empty()) {
      label->SetAttribute(smr::atCaption, captions[i]);
    } else {
      FRoot->DeleteChild(FRoot->IndexOfChild(label));
      label = nullptr;
    }
  }
  for (std::size_t i = 0; i < FIcons.size(); ++i) {
    TXMLNode*& icon = FIcons[i];
    if (!icon) icon = AppendElement(*FRoot, smr::elIcon, nkEmptyElement);
    icon->SetAttribute(smr::atName, kIconSlotNames[i]);
    icon->SetAttribute(smr::atPath, iconPaths[i]);
  }
}

TXMLNode* AppendElement(TXMLNode& parent, std::string_view name, std::uint8_t kind) {
  TXMLNode* element = parent.AddChild(std::make_unique<TXMLNode>(std::string(name), kind));
  element->SetLevel(parent.Level + 1);
  return element;
}

TXMLNode* EnsureElement(TXMLParser& document, std::string_view name, std::uint8_t kind) {
  if (TXMLNode* found = document.FindNode(name)) return found;
  return AppendElement(*document.Root, name, kind);
}
