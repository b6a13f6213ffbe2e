#pragma once

#include <string_view>

#include "import/smr_ImportedJournal.h"

// The journal a journal's JSON export describes (UTF-8), with the HTML
// description files it carries. Throws TImportError naming the line for
// invalid JSON, invalid UTF-8, or JSON of another kind or version.
TImportedJournal ImportJSON(std::string_view utf8);
