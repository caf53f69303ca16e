#pragma once
// Rules for names and paths that end up as files, folders and registry keys on Windows.
// The texts checked here are ANSI (already converted).

#include <string>

// A name that can stand as one Windows file or folder name: not empty, none of \/:*?"<>|
// nor control characters, no trailing dot or space, not a device name such as CON or LPT1.
// On failure `reason` says what is wrong.
bool IsValidWindowsFileName(const std::string& name, std::string* reason);

// A target path the setup can expand and create: it begins with exactly "%DIR%",
// "%WINDOWS%" or "%SYSTEM%" (only a folder may be the macro alone), and every part after
// it is a valid Windows file name, neither "." nor ".." nor holding a macro of its own.
// Anything else would install relative to wherever the setup was started, onto a device,
// or somewhere Windows silently renames.
bool IsValidTargetPath(const std::string& path, bool isFolder, std::string* reason);

// The last component of a backslash-separated path.
std::string LastPathComponent(const std::string& path);

// Splits a file name at its last dot into name and extension (without the dot).
void SplitFileName(const std::string& fileName, std::string* name, std::string* extension);

// Windows compares file names without regard to case; this folds every Windows-1252 small
// letter that has a capital in Windows-1252 to that capital (ß has none and stays).
std::string FoldCaseForWindows(const std::string& ansi);

// The form in which Windows sees a path when it opens it: "." and ".." resolved, trailing
// dots and spaces of each part dropped, letters folded. Two targets with the same form are
// the same file.
std::string ComparableTargetPath(const std::string& ansiPath);
