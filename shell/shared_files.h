#pragma once
// The shell's count of products that use a file in the system or Windows folder: one
// REG_DWORD per full path under HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs.
// An installation adds itself as a user of such a file; an uninstaller takes itself away
// and removes the file only when no user is left.

#include <cstdint>
#include <optional>
#include <string>

constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// Whether `path` lies in one of the two folders that products share.
bool IsInSharedFolder(const std::string& path, const std::string& windowsFolder, const std::string& systemFolder);

// The count of `path`, or nothing when it has none (or the value is not a REG_DWORD).
std::optional<uint32_t> SharedFileCount(const std::string& path);

// What an installation changed, so that a rollback can put it back.
struct SharedFileCountChange {
  std::string path;
  std::optional<uint32_t> before;
};

// Counts one more user of `path`. A file that was there before without a count has one
// user already (whoever put it there), so it starts at 2. False when the count cannot be
// written; `change` is filled either way.
bool AddSharedFileUser(const std::string& path, bool existedBefore, SharedFileCountChange* change);

// Puts the count back as it was before AddSharedFileUser.
bool UndoSharedFileCountChange(const SharedFileCountChange& change);

enum class SharedFileRelease {
  kNotCounted,  // no count: the caller decides alone
  kStillUsed,   // other users remain; the file must stay
  kLastUser,    // the count is gone; the file may be removed
  kNotWritten,  // the count could not be changed
};

// Takes one user away from `path`; at zero the value is deleted.
SharedFileRelease ReleaseSharedFile(const std::string& path);
