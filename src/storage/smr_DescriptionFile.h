#pragma once

#include <set>
#include <string>

class TStoredPaths;

// Creates the empty description file of a new experience and returns its
// name as the journal keeps it: the journal's stored path without its
// extension, "_", the number and ".html", or "_2.html", "_3.html" ... when a
// file has that name or `taken` (canonical names of the files other
// experiences name) holds it, so a repeated number never shares a file. The
// file goes beside the journal's file wherever the journal was found, so the
// stored name leads there. Throws TXMLWriteError with the text to show when
// the journal has no file, no name is free or the file cannot be written.
std::string CreateDescriptionFile(const TStoredPaths& paths, const std::string& journalPath,
                                  const std::string& number, const std::set<std::string>& taken);
