#pragma once
// The destination page's rules for the folder text, apart from its window.

#include <string>

// "<Program Files folder>\<product name>".
std::string DefaultDestination(const std::string& programFilesFolder, const std::string& productName);

// The Program Files folder for a Windows that names none: "<drive root of the Windows
// directory>Program Files".
std::string ProgramFilesOnWindowsDrive(const std::string& windowsDirectory);

// A folder picked in the folder browser, with the product name appended unless the
// folder already ends with it.
std::string ComposeBrowsedFolder(const std::string& folder, const std::string& productName);

// The folder as reported to the frame: one trailing backslash removed when the text is
// longer than three characters (C:\ keeps its backslash).
std::string TrimDestination(const std::string& folder);

// Next is enabled on the destination page only for a folder of three or more characters
// and only when a summary page follows.
bool FolderEnablesNext(const std::string& folder, bool hasNextPage);
