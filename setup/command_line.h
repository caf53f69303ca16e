#pragma once
// The base path of external-data mode, taken from the program's whole command line.

#include <string>

// The text after the program path and the one blank that follows it, taken verbatim.
// The program path is normally quoted ("C:\Dir\setup.exe" base); an unquoted one ends at
// the first blank. A base path wrapped in one pair of double quotes, as shells and Wine
// pass a path with blanks, is used without them. "" means normal mode.
std::string ExtractBasePath(const std::string& commandLine);
