#pragma once

#include <string_view>

// Every element and attribute name and every fixed value of the program's
// files. No other file spells these as literals.
namespace smr {

// Values
inline constexpr std::string_view Undefined = "undefined";
inline constexpr std::string_view True = "true";
inline constexpr std::string_view False = "false";
inline constexpr std::string_view Yes = "yes";
inline constexpr std::string_view No = "no";
inline constexpr std::string_view Html = "html";
inline constexpr std::string_view PlainText = "plaintext";
inline constexpr std::string_view Masculinum = "masculinum";
inline constexpr std::string_view Femininum = "femininum";
inline constexpr std::string_view SexSmile = ":)";
inline constexpr std::string_view Encoding1251 = "windows-1251";

// Library file
inline constexpr std::string_view elLibrary = "dreamlibrary";
inline constexpr std::string_view elDirectory = "directory";
inline constexpr std::string_view elFile = "file";
inline constexpr std::string_view elUser = "user";
inline constexpr std::string_view elAdditional = "additional";
inline constexpr std::string_view elStatistic = "statistic";
// Cached catalogue statistics (also atName, atLeft, atTop).
inline constexpr std::string_view elGraph = "graph";
inline constexpr std::string_view elPoint = "point";
inline constexpr std::string_view atHeader = "header";
inline constexpr std::string_view atFooter = "footer";
inline constexpr std::string_view atName = "name";
inline constexpr std::string_view atUserName = "username";
inline constexpr std::string_view atUserPassword = "userpassword";
inline constexpr std::string_view atPath = "path";
inline constexpr std::string_view atDefault = "default";
inline constexpr std::string_view atNick = "nick";
inline constexpr std::string_view atEmail = "email";
inline constexpr std::string_view atSex = "sex";
inline constexpr std::string_view atAge = "age";
inline constexpr std::string_view atDictionary = "dictionary";
// The user's dream signs: `dreamsigns` holds `sign text="..." category="..."`.
inline constexpr std::string_view elDreamSigns = "dreamsigns";
inline constexpr std::string_view elSign = "sign";
inline constexpr std::string_view atText = "text";
inline constexpr std::string_view atCategory = "category";
inline constexpr std::string_view atVocabulary = "vocabulary";
inline constexpr std::string_view LibraryInstruction =
    "<?xml-stylesheet href=\"library.xsl\" type=\"text/xsl\"?>";
inline constexpr std::string_view LibraryDocType =
    "<!DOCTYPE dreamlibrary SYSTEM \"dream_library.dtd\">";

// Journal file
inline constexpr std::string_view elJournal = "somnary";
inline constexpr std::string_view elDay = "day";
inline constexpr std::string_view elExperience = "experience";
inline constexpr std::string_view elComment = "comment";
inline constexpr std::string_view elDescription = "description";
inline constexpr std::string_view elImage = "image";
inline constexpr std::string_view elProperties = "properties";
inline constexpr std::string_view elEnergy = "energy";
inline constexpr std::string_view elParameter = "parameter";
inline constexpr std::string_view atNumber = "number";
inline constexpr std::string_view atTitle = "title";
inline constexpr std::string_view atType = "type";
inline constexpr std::string_view atFile = "file";
inline constexpr std::string_view atReadOnly = "readonly";
inline constexpr std::string_view atLevel = "level";
inline constexpr std::string_view atControl = "control";
inline constexpr std::string_view atValue = "value";
// The four marks, current names and the names of the older format.
inline constexpr std::string_view atLabel[4] = {"label1", "label2", "label3", "label4"};
inline constexpr std::string_view atOldLabel[4] = {"luciddream", "astralprojection", "outofbody",
                                                   "otherexperience"};
inline constexpr std::string_view JournalInstruction =
    "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>";
inline constexpr std::string_view JournalDocType = "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">";

// Settings file
inline constexpr std::string_view SettingsFileName = "dreams.ini";
inline constexpr std::string_view EmptyImageFileName = "empty.bmp";
inline constexpr std::string_view elIcon = "icon";
inline constexpr std::string_view elLabel = "label";
inline constexpr std::string_view elForm = "form";
inline constexpr std::string_view elOptions = "options";
inline constexpr std::string_view elSettingsLibrary = "library";
inline constexpr std::string_view elDreamForm = "dream-form";
inline constexpr std::string_view atCaption = "caption";
inline constexpr std::string_view atLeft = "left";
inline constexpr std::string_view atTop = "top";
inline constexpr std::string_view atWidth = "width";
inline constexpr std::string_view atHeight = "height";
inline constexpr std::string_view atTreeWidth = "treewidth";
inline constexpr std::string_view atConfirmDelete = "confirmdelete";
inline constexpr std::string_view atExperienceView = "experienceview";
// Dated copies of the library: `backups daily="no" path="..."`.
inline constexpr std::string_view elBackups = "backups";
inline constexpr std::string_view elCsvImport = "csvimport";
inline constexpr std::string_view atDaily = "daily";
// Icon slot names, in slot order (image indexes 0..5).
inline constexpr std::string_view IconOpenedNode = "Opened Node";
inline constexpr std::string_view IconLibrary = "Dream Library";
inline constexpr std::string_view IconDirectory = "Dream Directory";
inline constexpr std::string_view IconFile = "Dream File";
inline constexpr std::string_view IconNight = "One Night";
inline constexpr std::string_view IconDream = "One Dream";
inline constexpr std::string_view SettingsRootName = "settings";

// Dream properties form (the `dream-form` description)
inline constexpr std::string_view elEdit = "edit";
inline constexpr std::string_view elTextArea = "textarea";
inline constexpr std::string_view elSelect = "select";
inline constexpr std::string_view elOption = "option";
inline constexpr std::string_view elCheckBox = "checkbox";
inline constexpr std::string_view elRadio = "radio";
inline constexpr std::string_view elGroup = "group";
inline constexpr std::string_view elStatic = "static";
inline constexpr std::string_view elButton = "button";
inline constexpr std::string_view elSeparator = "separator";
inline constexpr std::string_view atId = "id";
inline constexpr std::string_view atHint = "hint";
inline constexpr std::string_view atChecked = "checked";
inline constexpr std::string_view atAction = "action";
inline constexpr std::string_view atOrientation = "orientation";
inline constexpr std::string_view ActionOk = "ok";
inline constexpr std::string_view ActionClose = "close";
inline constexpr std::string_view ActionCancel = "cancel";
inline constexpr std::string_view Vertical = "vertical";
inline constexpr std::string_view Horizontal = "horizontal";

// Export output
inline constexpr std::string_view LibraryStyleSheet = "library.css";
inline constexpr std::string_view JournalStyleSheet = "journal.css";

}  // namespace smr
