#pragma once

// The program's version, set once by project(VERSION) in CMakeLists.txt:
// --version, the about box and the package all show it.
namespace smr {
const char* ProgramVersion();  // "2.0.9.1067"
const char* ShortVersion();    // "2.0"
}  // namespace smr
