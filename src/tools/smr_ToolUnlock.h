#pragma once

#include <string>

// Lets a tool read a sealed library or journal. The passphrase comes from
// the file given with --passphrase-file, or else from the first line of
// standard input; never from the command line, where other users of the
// machine could see it. Empty when the input is plain or was unlocked
// (every document read afterwards opens with the key); the message otherwise.
std::string UnlockForTool(const std::string& inputFile, const std::string& passphraseFile);
