#pragma once
// A second installation into a folder that already holds an "Uninstall.log" must leave
// one log that names what both installations put on the machine; otherwise the
// uninstaller removes only what one of them did.

#include "formats/uninstall_log.h"

// One spelling per logged path: "C:\App\Docs\" and "c:/app/docs" name the same folder.
std::string LoggedPathKey(const char* path);
// The value a registry record sets, not the data it sets it to: root key, subkey and
// value name, without regard to case.
std::string LoggedValueKey(const RegistryEntry& record);

// True when both logs were written by installations of the same product. Names are
// compared without regard to ASCII case, because the Add/Remove Programs key and the
// Start Menu program folder named after the product do not tell case apart either.
bool IsSameProduct(const UninstallLogHeader& a, const UninstallLogHeader& b);

// The log of the machine after the installation that wrote `newer` ran over the one
// that wrote `older`:
// - the header is the newer one: its name, colours and all-users choice describe the
//   installation the user made last, and its Start Menu links are where it says;
// - file records: first those of `older` whose target path (without regard to case or a
//   trailing backslash) `newer` does not name, in their order, then all of `newer`. A
//   path named by both keeps only the newer record, whose size and times are those of
//   the file now on disk. Each run wrote folders before their contents, and the
//   uninstaller removes folders deepest first in any case;
// - an older record's shortcut flags survive only when both runs chose the same shortcut
//   folders (all users or the current user): the uninstaller looks for links only in the
//   folders the header names, so a flag for a link in the other set would claim
//   something it never finds;
// - registry records: every value once, identified by root key, subkey and value name
//   without regard to case (as the registry compares them); the newer record wins;
// - the counts are those of the records, so the strict reader accepts the result.
UninstallLog MergeUninstallLogs(const UninstallLog& older, const UninstallLog& newer);
