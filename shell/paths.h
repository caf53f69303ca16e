#pragma once
// Small helpers for the 8-bit Windows paths of the log, shared by the installation and
// the uninstaller.

#include <cstddef>
#include <string>

#include "formats/data_file.h"

std::string WithoutTrailingBackslash(const std::string& path);
// `folder` and `name` joined by exactly one backslash.
std::string JoinPath(const std::string& folder, const std::string& name);
// Equal without regard to case (ASCII) or a trailing backslash.
bool SamePath(const std::string& a, const std::string& b);
// True when `path` lies below `folder` (not the folder itself).
bool IsInside(const std::string& path, const std::string& folder);
// The folder that holds `path`; empty at a root.
std::string ParentFolder(const std::string& path);
// A name that may stand for one folder level: not empty, no separators, not "." or "..".
bool IsPlainName(const std::string& name);
// How many backslashes the path holds: sorting by it puts inner folders first.
std::size_t Depth(const std::string& path);
// The name a record's shortcuts carry: its shortcut name, or its file name without one.
std::string ShortcutNameOf(const FileEntry& record);
