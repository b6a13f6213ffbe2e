#pragma once

#include "export/smr_Exporter.h"

struct TXMLParameters;

// Somnary's own JSON (docs/json-format.md): the whole tree of a journal or a
// library, every element, attribute and text as it is, so that an import
// gives the same file back byte for byte; a library carries each journal
// its `file` elements name. Readable extras sit beside the known elements
// (marks by caption, energy, properties, an HTML description's page). UTF-8
// without a byte order mark, handed to the sink in pieces of about a
// megabyte.
class TJSONExporter : public TExporter {
 public:
  using TExporter::TExporter;

  // The prolog of the exported document, kept in the JSON so the journal
  // comes back with it. Null: the prolog the program gives a new journal or
  // library.
  const TXMLParameters* Prolog = nullptr;

  // Writes nothing for a null element.
  void Write(const TXMLNode* element, const TByteSink& sink) override;
};
