#pragma once
#include <string>

// Paths a person typed (profile values, the command line, the dialog), made into the form a
// run works with, once, where the run starts: absolute from the current folder, "." and
// ".." steps taken, forward slashes. A path that exists as typed is used as typed; only one
// that does not is read in the Windows way ("\" as "/", drives), so a Linux name holding a
// backslash stays itself.

// The start folder for a run; no trailing "/" but for the root. Empty stays empty.
std::string StartFolderForRun(const std::string& typed);
// The output file for a run from the absolute `startFolder` and the typed output name,
// which a relative name is taken from. A trailing "/" stays, so that a name naming no
// file can be told.
std::string OutputPathForRun(const std::string& startFolder, const std::string& typedName);
