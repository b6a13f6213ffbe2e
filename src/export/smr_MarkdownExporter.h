#pragma once

#include <string>
#include <string_view>

#include "export/smr_Exporter.h"

// Writes a library with every journal it names, or one journal, as one
// Markdown file in UTF-8 (no byte order mark: some readers would not see
// the first heading behind it). Headings go one level deeper at each step:
// the library, its catalogues, a journal, a night, and each experience as
// "number. title" with the marks set and the energy under it, then the
// description as text, the comment as a quote and the picture as an image.
// Levels stop at 6. Text is escaped so that nothing in it becomes Markdown.
// Lines end with CR LF, as every file the program writes.
class TMarkdownExporter : public TExporter {
 public:
  explicit TMarkdownExporter(TNumberFormat numberFormat = {});

  // The heading of a journal exported alone (a library's journals are
  // headed by their names in it); empty: the journal title. windows-1251.
  std::string JournalName;

  // A null element, or one that is neither a library nor a journal, gives
  // nothing.
  void Write(const TXMLNode* element, const TByteSink& sink) override;

  // Where an escaped text stands: a line of its own, inside a line, or a
  // heading's text.
  enum class TPlace { Line, Inline, Heading };
  // UTF-8 text as one line of Markdown that shows it as it is, blanks
  // around it dropped: the characters Markdown would take as marks escaped
  // with a backslash. In a heading every '#' is escaped; at a line's start
  // what would begin a block (a heading, a quote, a list item, a rule).
  static std::string Escape(std::string_view text, TPlace place = TPlace::Line);

 private:
  void CatalogueText(const TXMLNode& directory, int level, const TByteSink& sink) const;
  void JournalText(const TXMLNode& file, int level, const TByteSink& sink) const;
  void NightsText(const TXMLNode& journal, int level, const TByteSink& sink) const;
  void ExperienceText(const TXMLNode& experience, int level, std::string& out) const;
  void Heading(int level, std::string_view text, std::string& out) const;
  void Block(std::string_view text, std::string_view prefix, std::string& out) const;
};
