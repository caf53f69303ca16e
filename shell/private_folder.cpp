#include "shell/private_folder.h"

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "shell/paths.h"

namespace {

// Another process may have taken a name between our drawing it and making the folder.
constexpr int kCreateAttempts = 8;
constexpr char kFolderPrefix[] = "Brisklay-";
constexpr std::size_t kNameDigits = 32;
// The system and administrators only: a program the user runs without elevation cannot
// open the folder or anything in it.
constexpr char kAdministratorsOnly[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr TOKEN_INFORMATION_CLASS kTokenElevation = static_cast<TOKEN_INFORMATION_CLASS>(20);

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD elevated = 0;  // the whole of TOKEN_ELEVATION
  DWORD size = 0;
  const BOOL known = GetTokenInformation(token, kTokenElevation, &elevated, sizeof elevated, &size);
  CloseHandle(token);
  return known && elevated != 0;
}

// Without elevation there is no boundary to guard: the user's programs may open what the
// run makes, as they may open the rest of the temporary folder.
// Returns the system's error code: 0 when made.
DWORD MakeFolder(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (RunsElevated()) {
    ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &descriptor, nullptr);
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const DWORD error =
      CreateDirectoryA(path.c_str(), descriptor ? &attributes : nullptr) ? ERROR_SUCCESS : GetLastError();
  if (descriptor) LocalFree(descriptor);
  return error;
}

void DeleteFilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileA((folder + "\\" + found.cFileName).c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

bool PrivateFolder::Create(const std::string& parent) {
  Remove();
  if (parent.empty()) return false;
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    const std::string name = UnguessableName();
    if (name.empty()) return false;
    const std::string path = JoinPath(parent, kFolderPrefix + name);
    const DWORD error = MakeFolder(path);
    if (error == ERROR_ALREADY_EXISTS) continue;
    if (error != ERROR_SUCCESS) return false;
    // Not shared for deleting: nobody can rename the folder and put something else in
    // its place while the run uses it.
    pin_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    path_ = path;
    return true;
  }
  return false;
}

void PrivateFolder::Keep() {
  if (pin_ != INVALID_HANDLE_VALUE) CloseHandle(pin_);
  pin_ = INVALID_HANDLE_VALUE;
  path_.clear();
}

void PrivateFolder::Remove() {
  if (path_.empty()) return;
  const std::string path = path_;
  DeleteFilesIn(path);
  Keep();
  RemoveDirectoryA(path.c_str());
}

bool IsPrivateFolder(const std::string& path) {
  const std::string temp = UserTempFolder();
  if (temp.empty() || !SamePath(ParentFolder(path), temp)) return false;
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  const std::size_t prefix = sizeof kFolderPrefix - 1;
  if (name.size() != prefix + kNameDigits || name.compare(0, prefix, kFolderPrefix) != 0) return false;
  return name.find_first_not_of("0123456789abcdef", prefix) == std::string::npos;
}

std::string UserTempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

std::string UnguessableName() {
  unsigned char bytes[16];
  if (!RtlGenRandom(bytes, sizeof bytes)) return std::string();
  static const char kDigits[] = "0123456789abcdef";
  std::string name;
  for (unsigned char byte : bytes) {
    name += kDigits[byte >> 4];
    name += kDigits[byte & 0xF];
  }
  return name;
}

FILE* CreateNewFile(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* stream = _fdopen(descriptor, "w+b");
  if (stream == nullptr) _close(descriptor);
  return stream;
}

FILE* CreateKeptTempFile(const std::string& stem, const std::string& extension) {
  const std::string folder = UserTempFolder();
  const std::string unguessable = UnguessableName();
  if (folder.empty() || unguessable.empty()) return nullptr;
  // Twelve digits keep the name readable and still out of reach of a guess.
  return CreateNewFile(folder + stem + unguessable.substr(0, 12) + extension);
}

void TakePermissionsOfFolder(const std::string& path) {
  ACL none;
  if (!InitializeAcl(&none, sizeof none, ACL_REVISION)) return;
  // No entries of its own, and those its folder passes on.
  SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                        DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, &none,
                        nullptr);
}
