// Reads arbitrary bytes as a document, whatever its status, and exports the
// tree in both formats, as the export command and somnary-export do with
// any library or journal. Any crash, hang or sanitizer report is a finding.

#include <cstddef>
#include <cstdint>
#include <string>

#include "export/smr_HTMLExporter.h"
#include "export/smr_TXTExporter.h"
#include "xml/xml_mainUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TXMLParser document;
  document.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
  THTMLExporter html;
  TTXTExporter text;
  for (TExporter* exporter : {static_cast<TExporter*>(&html), static_cast<TExporter*>(&text)}) {
    exporter->Label1Caption = "one";
    exporter->Label3Caption = "three";
    const std::string page = exporter->ExportToText(document.Root.get());
    // Every export has at least its header and footer lines.
    if (page.empty()) __builtin_trap();
  }
  return 0;
}
