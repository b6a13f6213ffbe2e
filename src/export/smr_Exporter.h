#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/smr_NumberFormat.h"
#include "xml/xml_functions.h"

class TXMLNode;

// A file of an export that could not be written: its name as the file system
// takes it, and (what()) the system's message.
class TExportWriteError : public TXMLWriteError {
 public:
  TExportWriteError(std::string fileName, const TXMLWriteError& error)
      : TXMLWriteError(error), FileName(std::move(fileName)) {}
  std::string FileName;
};

// Base of the exporters: turns the root of a library or a journal into a
// header, a body and a footer. Everything is windows-1251 bytes; nothing of
// the document is escaped or changed, and the document itself is only read.
class TExporter {
 public:
  explicit TExporter(TNumberFormat numberFormat = {});
  virtual ~TExporter();
  TExporter(const TExporter&) = delete;
  TExporter& operator=(const TExporter&) = delete;

  std::string LineBreak;  // CR LF
  std::string FrameLine;  // the text exporter's box border; empty here
  std::string Spacer;     // the unit that Indent repeats
  // Captions of the four marks, windows-1251; set before exporting.
  std::string Label1Caption;
  std::string Label2Caption;
  std::string Label3Caption;
  std::string Label4Caption;
  TNumberFormat NumberFormat;  // for the energy figure
  // What a page links to for a stored path (a journal, a picture, an
  // additional file); unset: the stored path. The text shown stays the stored path.
  std::function<std::string(const std::string& stored)> Link;
  // For the formats that carry every dream of a library: the root of the
  // journal a `file` element names by its stored path, null when it cannot
  // be read (it is then left out). Unset: no journal is read.
  std::function<const TXMLNode*(const std::string& stored)> Journal;
  // The bytes of a file a journal names (an HTML description) by its stored
  // path, opened as the program reads it; nothing when it cannot be read.
  std::function<std::optional<std::string>(const std::string& stored)> StoredFile;

  // A null element gives empty strings throughout.
  virtual std::string ExportBody(const TXMLNode* element);
  virtual std::string ExportHeader(const TXMLNode* element);
  virtual std::string ExportFooter(const TXMLNode* element);

  // Appends header, body and footer to the output, each followed by LineBreak.
  void Export(const TXMLNode* element, std::string& output);
  // Gives the whole exported text to the sink a piece at a time: header,
  // body and footer, each followed by LineBreak. A format that is not made
  // of those three parts writes its own text here.
  virtual void Write(const TXMLNode* element, const TByteSink& sink);
  // Spacer repeated count times; empty for a count of 0 or less.
  std::string Indent(int count) const;

  // The whole exported text, as Export builds it.
  std::string ExportToText(const TXMLNode* element);
  // Writes the exported text to the file, replacing it only once the whole
  // text is written. Throws TXMLWriteError with the system's message.
  void ExportToFile(const TXMLNode* element, const std::string& fileName);
  // Every file of an export, as the window and the tool write it: the page,
  // then the style sheet it names, copied from styleSheetDir (the shipped
  // files) beside it unless a file of that name is there already (the
  // user's own stays) or none is shipped. Returns the files written, the
  // page first. Throws TExportWriteError naming the file that failed; a
  // page that fails leaves no style sheet.
  std::vector<std::string> ExportToFiles(const TXMLNode* element, const std::string& fileName,
                                         const std::string& styleSheetDir);
  // The style sheet the page of this element names beside itself; empty
  // when it names none.
  virtual std::string_view StyleSheet(const TXMLNode* element) const;

 protected:
  // The program's texts of the export, converted once to windows-1251.
  struct TTexts {
    std::string LibraryTitle, JournalTitle;
    std::string Table, UserData, User;
    std::string UserName, UserNick, UserEmail, UserAge, UserSex, UserInfo;
    std::string SexMale, SexFemale;
    std::string Structure, FileList, AdditionalFiles, Dictionary, Vocabulary;
    std::string DayComment, DreamComment, Energy, Image;
    std::string Marks, PropertyColumn, ValueColumn, Yes, No;
    std::string AdditionalProperties, NotDefined;
  };
  const TTexts Texts;

  // Appends the pieces and LineBreak.
  void AddLine(std::string& out, std::initializer_list<std::string_view> pieces) const;
  // Caption of mark 0..3.
  const std::string& LabelCaption(int index) const;
  // "да" when the mark's attribute on the properties element is "true".
  const std::string& MarkText(const TXMLNode* properties, int index) const;
  // Whether mark 0..3 is set, an older attribute name counting until the
  // window converts it (the page and the text read the current names only).
  static bool MarkSet(const TXMLNode* properties, int index);
  // The `sex` value in words; any other value comes back unchanged.
  std::string SexText(const std::string& sex) const;
  // The energy figure of an `energy` element; "0" for none or no level.
  std::string EnergyText(const TXMLNode* energy) const;
  // Value of the first child; empty when there is none.
  static std::string_view TextOf(const TXMLNode* element);
  std::string LinkTo(const std::string& stored) const { return Link ? Link(stored) : stored; }
  static bool HasFirstChild(const TXMLNode* element);
};
