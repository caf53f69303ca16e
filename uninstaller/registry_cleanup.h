#pragma once
// Takes away registry values the installation set, and the keys it left empty.

#include <windows.h>

#include <string>

// The root key for one of the five names the installation accepts (exact spelling);
// null for any other text.
HKEY RootKeyFromName(const std::string& name);

// Deletes one value (an empty name is the key's default value). A value or key that is
// not there counts as removed.
bool DeleteRegistryValue(HKEY root, const std::string& subKey, const std::string& valueName);

// Deletes `subKey` and then each key above it for as long as the key holds neither values
// nor subkeys. Stops below the keys that every system has: the first level under a root
// ("Software", a user's SID, ...), except under HKEY_CLASSES_ROOT, whose first level
// holds the products' own file types and classes.
void RemoveEmptyKeys(HKEY root, const std::string& subKey);

// True when the key exists and holds no values and no subkeys.
bool IsEmptyKey(HKEY root, const std::string& subKey);

// The Add/Remove Programs key of `productName`, removed with everything in it, but only
// while its "UninstallString" still names `uninstallerPath`: another installation of a
// product of the same name may have taken the entry over. True when the entry is gone or
// belongs to someone else; false when it could not be deleted.
bool RemoveUninstallEntry(const std::string& productName, const std::string& uninstallerPath);

// Whether an "UninstallString" starts the uninstaller at `uninstallerPath`, quoted or not.
bool UninstallStringNames(const std::string& uninstallString, const std::string& uninstallerPath);
