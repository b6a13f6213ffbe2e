#pragma once

#include <string_view>

#include "import/smr_ImportedJournal.h"

// The journal a journal's JSON export describes (UTF-8, docs/json-format.md),
// with the HTML description files it carries. Linear in the input: the
// journal's text is written as the JSON is read and the program's reader
// builds the tree from it, so the tree is what the written file reads back
// as. Values the file cannot hold are made storable as at the text edge;
// characters windows-1251 lacks become '?' and are counted in Replaced.
// Throws TImportError naming the line for invalid JSON, invalid UTF-8, JSON
// of another kind or version, a library's JSON, or a tree that is not a
// journal.
TImportedJournal ImportJSON(std::string_view utf8);
