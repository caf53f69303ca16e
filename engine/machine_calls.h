#pragma once
// Every call of the installation that changes the machine, each asking the fault seam
// first. Under a planned failure a call fails as the system would: it sets the last error
// (and errno for the C streams) and returns its failure value, without touching anything.
// Outside tests the seam is unarmed and these are the plain system calls.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace machine {

bool CreateFolder(const std::string& path);
bool RemoveFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Replaces `to` when it exists.
bool CopyOver(const std::string& from, const std::string& to);
// Replaces `to` when it exists; across volumes by copying.
bool MoveOver(const std::string& from, const std::string& to);
// Moves `from` out of its place to the new path `to`, across volumes by copying; the seam
// sees `from`, the file that leaves.
bool MoveAway(const std::string& from, const std::string& to);
bool SetAttributes(const std::string& path, DWORD attributes);
// Through an open handle of `path`.
bool SetTimes(HANDLE file, const std::string& path, const FILETIME& creation, const FILETIME& lastAccess,
              const FILETIME& lastWrite);
// fopen for writing ("wb", "ab", "r+b").
FILE* OpenStream(const std::string& path, const char* mode);
// fopen "wb" of a file that does not exist yet; null, with ERROR_FILE_EXISTS as the last
// error, when it does. One call where asking first and then creating would be two.
FILE* CreateNewStream(const std::string& path);
bool Write(FILE* stream, const std::string& path, const void* bytes, std::size_t size);
// Pushes what the stream holds to the file. A planned failure acts like a disk that fills
// up: part of the pending bytes reach the file, then the call fails.
bool Flush(FILE* stream, const std::string& path);
// Schedules `replacement` to take the place of `target` at the next restart; the seam
// sees `target`.
bool ReplaceAtRestart(const std::string& replacement, const std::string& target);
// Cuts `path` back to `size` bytes.
bool Truncate(const std::string& path, uint64_t size);

// The registry; `keyPath` names the key for the seam ("HKCU\\Software\\...").
LONG CreateKey(HKEY root, const std::string& keyPath, const std::string& subKey, const char* className,
               HKEY* key);
LONG SetValue(HKEY key, const std::string& keyPath, const std::string& name, DWORD type, const void* data,
              DWORD size);
LONG DeleteValue(HKEY key, const std::string& keyPath, const std::string& name);
LONG DeleteKey(HKEY root, const std::string& keyPath, const std::string& subKey);

// "HKCU", "HKLM", ... and the subkey, as the seam names a key.
std::string KeyPath(HKEY root, const std::string& subKey);

}  // namespace machine
