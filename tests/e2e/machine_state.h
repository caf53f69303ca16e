#pragma once
// What an installation of the example product touches on the machine: its folder, its
// Start Menu program folder, the Desktop, its registry key and its Add/Remove Programs
// entry. A snapshot lists all of it as text lines, so "exactly as before" is a compare.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr char kDemoName[] = "Brisklay Demo";
constexpr char kDemoKey[] = "Software\\Brisklay Demo";
constexpr char kDemoUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brisklay Demo";

std::string ProgramsFolder();  // the current user's Start Menu programs
std::string DesktopFolder();   // the current user's Desktop

// One line per file ("path size"), folder ("path\"), Desktop shortcut and registry value
// ("key\name=type:data").
std::vector<std::string> SnapshotDemoTraces(const std::string& destination);

// Removes whatever an earlier run of the example left outside a test's own folder.
void RemoveDemoTraces();

std::optional<std::string> RegistryString(HKEY root, const std::string& key, const std::string& name);
std::optional<DWORD> RegistryDword(HKEY root, const std::string& key, const std::string& name);

// The file's size, or nothing when it is missing.
std::optional<unsigned long long> FileSize(const std::string& path);

}  // namespace e2e
