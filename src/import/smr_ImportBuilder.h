#pragma once

#include <QString>
#include <string>

#include "import/smr_ImportedJournal.h"

class TXMLNode;

// Builds an imported journal the way the program's own commands build one
// while a person types it in: nights of the root, experiences of a night
// with number and title, then the children a value fills.
class TImportBuilder {
 public:
  // A new night, the last of the journal.
  TXMLNode* AddNight(const QString& name);
  // A new experience, the last of the night. Without a number it gets the
  // one the new-experience dialog would propose: its place in the journal,
  // three digits at least.
  TXMLNode* AddExperience(TXMLNode* night, const QString& number, const QString& title);
  TXMLNode* AddExperience(TXMLNode* night, const QString& title);
  // A description as the plain editor stores it (line breaks CR LF); an
  // empty one adds nothing.
  void SetDescription(TXMLNode* experience, const QString& text);
  // A comment as its one-line editor stores it; an empty one adds nothing.
  void SetComment(TXMLNode* experience, const QString& text);
  // The child of that name, added when missing.
  TXMLNode* Child(TXMLNode* parent, std::string_view name, std::uint8_t kind);

  TImportText Text;
  // Levels set, Replaced counted; the builder is spent.
  TImportedJournal Finish();

 private:
  TImportedJournal FJournal;
  int FExperiences = 0;
};
