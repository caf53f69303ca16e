#pragma once
// Rules for names and paths that end up as files, folders and registry keys on Windows.
// The texts checked here are ANSI (already converted).

#include <string>

// A name that can stand as one Windows file or folder name: not empty, none of \/:*?"<>|
// nor control characters, no trailing dot or space, not a device name such as CON or LPT1.
// On failure `reason` says what is wrong.
bool IsValidWindowsFileName(const std::string& name, std::string* reason);

// A target path the setup can expand and create: not empty, backslashes as separators,
// no characters that Windows refuses in paths, no empty or ill-formed components.
bool IsValidTargetPath(const std::string& path, std::string* reason);

// The last component of a backslash-separated path.
std::string LastPathComponent(const std::string& path);

// Splits a file name at its last dot into name and extension (without the dot).
void SplitFileName(const std::string& fileName, std::string* name, std::string* extension);

// Windows compares file names without regard to case; this folds ASCII and Latin-1 letters.
std::string FoldCaseForWindows(const std::string& ansi);
