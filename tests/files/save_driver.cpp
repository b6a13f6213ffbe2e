// Saves a large journal for the crash test:
//   somnary_save_driver FILE a|b      saves version a or b once
//   somnary_save_driver FILE loop     saves b, a, b, ... until killed
#include <cstdio>
#include <cstring>
#include <string>

#include "xml/xml_mainUnit.h"

namespace {

void Fill(TXMLParser& document, const char* version) {
  document.Parameters.Encoding = "windows-1251";
  document.Root->Name = "somnary";
  for (int i = 0; i < 20000; ++i) {
    auto day = std::make_unique<TXMLNode>("day", nkEmptyElement);
    day->SetAttribute("name", std::string(version) + std::to_string(i));
    day->SetAttribute("comment", "a night long enough to make the journal a few megabytes");
    document.Root->AddChild(std::move(day))->SetLevel(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string file = argv[1];
  try {
    if (std::strcmp(argv[2], "loop") != 0) {
      TXMLParser document;
      Fill(document, argv[2]);
      document.Save(file);
      return 0;
    }
    TXMLParser versions[2];
    Fill(versions[0], "b");
    Fill(versions[1], "a");
    for (unsigned long n = 0;; ++n) versions[n % 2].Save(file);
  } catch (const TXMLWriteError& error) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
    return 1;
  }
}
