#include "shell/shell_links.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "shell/com_object.h"
#include "shell/fault_injection.h"
#include "shell/paths.h"

namespace {

int FolderId(ShortcutKind kind, bool allUsers) {
  switch (kind) {
    case ShortcutKind::kStartMenu:
      return allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    case ShortcutKind::kDesktop:
      return allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY;
    case ShortcutKind::kStartup:
    default:
      return allUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP;
  }
}

bool ToWide(const std::string& path, WCHAR (&wide)[MAX_PATH]) {
  return path.size() < MAX_PATH && MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) != 0;
}

}  // namespace

std::string ShortcutFolder(ShortcutKind kind, bool allUsers, FolderLookup* outcome) {
  FolderLookup ignored;
  if (outcome == nullptr) outcome = &ignored;
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, FolderId(kind, allUsers), &list) != S_OK) {
    *outcome = FolderLookup::kNoLocation;
    return std::string();
  }
  char path[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  *outcome = found ? FolderLookup::kFound : FolderLookup::kNoPath;
  return found ? WithoutTrailingBackslash(path) : std::string();
}

LinkSaving SaveLink(const std::string& linkPath, const std::string& target, const std::string& workingDirectory,
                    const std::string& description) {
  Released<IShellLinkA> link;
  const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&link.object));
  if (FAILED(created)) {
    link.object = nullptr;
    if (created == REGDB_E_CLASSNOTREG) return LinkSaving::kClassNotRegistered;
    if (created == CLASS_E_NOAGGREGATION) return LinkSaving::kNoAggregation;
    return LinkSaving::kNotCreated;
  }
  link.object->SetPath(target.c_str());
  link.object->SetWorkingDirectory(workingDirectory.c_str());
  link.object->SetDescription(description.c_str());
  Released<IPersistFile> file;
  if (FAILED(link.object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.object)))) {
    file.object = nullptr;
    return LinkSaving::kNoPersistence;
  }
  WCHAR wide[MAX_PATH] = {};
  if (!ToWide(linkPath, wide)) return LinkSaving::kNotSaved;
  const HRESULT saved = fault_injection::ShouldFail(linkPath) ? STG_E_ACCESSDENIED : file.object->Save(wide, TRUE);
  return saved == S_OK ? LinkSaving::kSaved : LinkSaving::kNotSaved;
}

std::string LinkTarget(const std::string& linkPath) {
  Released<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link.object)))) {
    link.object = nullptr;
    return std::string();
  }
  Released<IPersistFile> file;
  if (FAILED(link.object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.object)))) {
    file.object = nullptr;
    return std::string();
  }
  WCHAR wide[MAX_PATH] = {};
  if (!ToWide(linkPath, wide)) return std::string();
  if (FAILED(file.object->Load(wide, STGM_READ))) return std::string();
  char target[MAX_PATH] = {};
  if (link.object->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return std::string();
  return target;
}

LinkRemoval RemoveLinkTo(const std::string& linkPath, const std::string& target) {
  if (GetFileAttributesA(linkPath.c_str()) == INVALID_FILE_ATTRIBUTES) return LinkRemoval::kAbsent;
  const std::string stored = LinkTarget(linkPath);
  if (!stored.empty() && !SamePath(stored, target)) return LinkRemoval::kPointsElsewhere;
  if (fault_injection::ShouldFail(linkPath)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return LinkRemoval::kNotDeleted;
  }
  return DeleteFileA(linkPath.c_str()) ? LinkRemoval::kRemoved : LinkRemoval::kNotDeleted;
}
