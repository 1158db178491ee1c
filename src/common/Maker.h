#pragma once

// The program's name and version, as the About box and --version show them.
inline constexpr const char* kProgramVersionLine = "Folioscribe Version 1.22";
inline constexpr const char* kProgramVersion = "Folioscribe 1.22";
// How the program names itself to the web servers it asks.
inline constexpr const char* kUserAgent = "folioscribe/1.22 (+link check)";
