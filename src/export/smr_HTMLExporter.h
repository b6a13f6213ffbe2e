#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "export/smr_Exporter.h"

// Writes a library or a journal as one HTML page that refers to the style
// sheet library.css or journal.css. Texts of the document go in unescaped,
// so an HTML description stays markup.
class THTMLExporter : public TExporter {
 public:
  explicit THTMLExporter(TNumberFormat numberFormat = {});

  std::int32_t TableNumber = 1;  // number of the next numbered table

  std::string ExportBody(const TXMLNode* element) override;
  std::string ExportHeader(const TXMLNode* element) override;
  std::string ExportFooter(const TXMLNode* element) override;
  void Write(const TXMLNode* element, const TByteSink& sink) override;
  // library.css for a library, journal.css for a journal.
  std::string_view StyleSheet(const TXMLNode* element) const override;

 private:
  // The body; with a sink, what is done goes to it as it grows.
  void Body(const TXMLNode& element, std::string& out, const TByteSink* sink);
  void LibraryContent(const TXMLNode& root, std::string& out);
  void UserTable(const TXMLNode& user, std::string& out);
  void UserRow(std::string_view caption, std::string_view value, std::string& out) const;
  void CatalogueBlock(const TXMLNode& directory, std::string& out) const;
  void FileLine(const TXMLNode& file, std::string& out) const;
  void AdditionalFiles(const TXMLNode& additional, std::string& out) const;
  void AdditionalFileLine(std::string_view caption, const std::string& path,
                          std::string& out) const;
  void DayBlock(const TXMLNode& day, std::string& out) const;
  void ExperienceBlock(const TXMLNode& experience, std::string& out) const;
  void TableHeader(std::string& out) const;
  void MarksTable(const TXMLNode* properties, std::string& out) const;
  void PropertiesTable(const TXMLNode* properties, std::string& out) const;
  void PropertyRows(const TXMLNode& element, std::string& out) const;
  void PrepareBlocks();
  // The energy figure of an `energy` element, formatted once per level.
  const std::string& EnergyOf(const TXMLNode& energy) const;

  struct TBlocks {
    std::array<std::string, 16> Marks;  // by the bits of the marks set
    std::string ImageStart, ImageEnd;
    std::map<std::string, std::string, std::less<>> Energy;
  };
  mutable TBlocks FBlocks;
};
