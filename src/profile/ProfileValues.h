#pragma once
#include <string>
#include <vector>

#include "profile/IniFile.h"

// One value of `file`; `defaultValue` when the section or key is missing.
std::string ReadProfileString(const IniFile& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue);
// Writes or replaces one key; other keys and sections stay as they are.
void WriteProfileString(IniFile& file, const std::string& section, const std::string& key,
                        const std::string& value);
// True for a stored "1" or "TRUE" in any letter case; every other value is false.
bool ReadProfileFlag(const IniFile& file, const std::string& section, const std::string& key,
                     bool defaultFlag);
// Writes "1" or "0".
void WriteProfileFlag(IniFile& file, const std::string& section, const std::string& key,
                      bool flag);

// The entries with `separator` between neighbours.
std::string JoinList(const std::vector<std::string>& list, const std::string& separator);
// The pieces of `text` around every `separator`, left to right; empty pieces are dropped
// unless `keepEmpty`. An empty separator gives the whole text as one piece.
std::vector<std::string> SplitList(const std::string& text, const std::string& separator,
                                   bool keepEmpty);

// A ":"-joined list whose entries may hold ":" themselves (addresses, patterns of them): a
// ":" in an entry is stored as "\\:".
std::string JoinColonList(const std::vector<std::string>& list);
// The entries of such a list; empty pieces are dropped.
std::vector<std::string> SplitColonList(const std::string& text);
