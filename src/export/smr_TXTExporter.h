#pragma once

#include <string>
#include <string_view>

#include "export/smr_Exporter.h"

// Writes a library or a journal as plain text for a fixed-width font in 80
// columns, with boxes drawn from '+', '-' and '|'. Long texts are not
// wrapped; they run past column 80.
class TTXTExporter : public TExporter {
 public:
  explicit TTXTExporter(TNumberFormat numberFormat = {});

  std::string Dash;  // the unit of Dashes
  // Dash repeated count times; empty for a count of 0 or less.
  std::string Dashes(int count) const;

  std::string ExportBody(const TXMLNode* element) override;
  std::string ExportHeader(const TXMLNode* element) override;
  std::string ExportFooter(const TXMLNode* element) override;

  // Middle line of the title box: the title centred between two bars, 80
  // characters wide for titles of up to 78 characters, any odd blank on the
  // right; a longer title stands between the bars alone.
  std::string TitleLine(std::string_view title) const;

 private:
  void LibraryText(const TXMLNode& root, std::string& out) const;
  void FileLines(const TXMLNode& directory, std::string& out) const;
  void DayText(const TXMLNode& day, std::string& out) const;
  void ExperienceText(const TXMLNode& experience, std::string& out) const;
  void PropertyLines(const TXMLNode& element, std::string& out) const;
};
