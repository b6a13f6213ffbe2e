#pragma once

#include <string>
#include <vector>

// What the command-line tools need from the system.

// Lets the console show the UTF-8 the tools print: Windows' console expects
// its own code page unless told. Nothing to do elsewhere (one file per
// platform).
void UseUtf8Console();

// The arguments as UTF-8, from a running QCoreApplication: on Windows argv
// holds the code page's bytes, which cannot name every file.
class TUtf8Arguments {
 public:
  TUtf8Arguments();
  int Count() const { return static_cast<int>(FValues.size()); }
  char** Values() { return FValues.data(); }

 private:
  std::vector<std::string> FTexts;
  std::vector<char*> FValues;
};
