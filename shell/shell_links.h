#pragma once
// The shortcut folders of the shell and the links in them. The calling thread must have
// COM initialised.

#include <string>

enum class ShortcutKind { kStartMenu, kDesktop, kStartup };

// Why a shortcut folder could not be named.
enum class FolderLookup { kFound, kNoLocation, kNoPath };

// The folder that receives links of `kind` for all users or for the current user, with no
// trailing backslash; empty when the shell cannot name it, and `outcome` (if given) says
// at which step.
std::string ShortcutFolder(ShortcutKind kind, bool allUsers, FolderLookup* outcome = nullptr);

enum class LinkSaving { kSaved, kClassNotRegistered, kNoAggregation, kNotCreated, kNoPersistence, kNotSaved };

// Writes a link at `linkPath` (replacing one that is there) to `target`, starting in
// `workingDirectory`.
LinkSaving SaveLink(const std::string& linkPath, const std::string& target, const std::string& workingDirectory,
                    const std::string& description);

enum class LinkRemoval { kAbsent, kRemoved, kPointsElsewhere, kNotDeleted };

// Deletes the link at `linkPath` when it leads to `target` (compared without regard to
// case or a trailing backslash) or cannot be read as a link at all; a readable link to
// anything else belongs to someone else and stays.
LinkRemoval RemoveLinkTo(const std::string& linkPath, const std::string& target);

// The stored target of a link, or empty when the file cannot be read as one.
std::string LinkTarget(const std::string& linkPath);
