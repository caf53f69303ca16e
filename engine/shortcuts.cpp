// Start Menu, Desktop and Startup links (".lnk") for installed files and folders.

#include <windows.h>
// After windows.h, which they need.
#include <io.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "engine/install_engine.h"

namespace {

enum ShortcutKind { kStartMenu = 0, kDesktop = 1, kStartup = 2 };

// CSIDL values per kind: current user, all users.
const int kFolderIds[3][2] = {
    {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS},
    {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY},
    {CSIDL_STARTUP, CSIDL_COMMON_STARTUP},
};

ShortcutKind FirstKind(bool startMenu, bool desktop) {
  return startMenu ? kStartMenu : (desktop ? kDesktop : kStartup);
}

// The folder that holds the target, with its trailing backslash. For a file installed as
// folder\name.ext that is exactly the folder; for a folder target it is its parent.
std::string WorkingDirectoryOf(const std::string& target) {
  std::size_t last = target.rfind('\\');
  return last == std::string::npos ? std::string() : target.substr(0, last + 1);
}

template <typename Interface>
struct Released {
  ~Released() {
    if (object != nullptr) object->Release();
  }
  Interface* object = nullptr;
};

}  // namespace

int InstallEngine::ShortcutFolderId(int kind) const { return kFolderIds[kind][allUsers_ ? 1 : 0]; }

std::string InstallEngine::GetSpecialFolderPath(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK) {
    ShowError("Couldn't obtain shortcut folder location!");
    return std::string();
  }
  char path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  if (!ok) {
    ShowError("Couldn't obtain shortcut folder path!");
    return std::string();
  }
  return path;
}

bool InstallEngine::CreateShortcut(const std::string& name, const std::string& target, std::string* shortcutName,
                                   std::string* description, bool startMenu, bool desktop, bool startup) {
  if (!startMenu && !desktop && !startup) {
    ShowMessage("There's no shortcut parameter specified!", "Exception Error", MB_ICONERROR);
    abort_ = 1;
    return false;
  }
  const ShortcutKind kind = FirstKind(startMenu, desktop);
  if (shortcutName->empty()) *shortcutName = name;
  if (description->empty()) *description = name;

  const std::string folder = GetSpecialFolderPath(ShortcutFolderId(kind));
  if (folder.empty()) {
    abort_ = 1;
    return false;
  }
  std::string linkPath = folder + "\\";
  if (kind == kStartMenu) {
    linkPath += productName_ + "\\";
    bStartMenuFolder_ = true;
    // The probe names a file inside the program folder, so every folder up to it exists
    // afterwards while the probe itself is never created.
    std::string probe = folder + "\\" + productName_ + "\\" + name;
    if (_access(probe.c_str(), 2) != 0 && !CreateFolders(probe, true)) {
      ShowError("Could not create Start Menu directory " + probe + "!");
      abort_ = 1;
      return false;
    }
  }
  linkPath += *shortcutName + ".lnk";

  Released<IShellLinkA> link;
  HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&link.object));
  if (FAILED(created)) {
    link.object = nullptr;
    if (created == REGDB_E_CLASSNOTREG) {
      ShowMessage("Class or enumeration not registered!", "Exception Error", MB_ICONERROR);
    } else if (created == CLASS_E_NOAGGREGATION) {
      ShowMessage("Class cannot be created as part of an aggregate!", "Exception Error", MB_ICONERROR);
    }
  } else {
    link.object->SetPath(target.c_str());
    link.object->SetWorkingDirectory(WorkingDirectoryOf(target).c_str());
    link.object->SetDescription(description->c_str());
    Released<IPersistFile> file;
    if (SUCCEEDED(link.object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.object)))) {
      WCHAR widePath[MAX_PATH] = {};
      bool converted = linkPath.size() < MAX_PATH &&
                       MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) != 0;
      // A link of the same name may be the user's; the rollback puts it back.
      if (!KeepBackupOfExistingFile(linkPath)) return false;
      if (!converted || file.object->Save(widePath, TRUE) != S_OK) {
        ShowError("Couldn't save link path!");
        abort_ = 1;
        return false;
      }
    } else {
      file.object = nullptr;
    }
  }

  if (kind == kStartMenu && (desktop || startup)) {
    return CreateShortcut(name, target, shortcutName, description, false, desktop, startup);
  }
  if (kind == kDesktop && startup) return CreateShortcut(name, target, shortcutName, description, false, false, true);
  return true;
}

bool InstallEngine::RemoveShortcut(const std::string& shortcutName, bool startMenu, bool desktop, bool startup) {
  if (!startMenu && !desktop && !startup) return false;
  const ShortcutKind kind = FirstKind(startMenu, desktop);
  const std::string folder = GetSpecialFolderPath(ShortcutFolderId(kind));
  if (folder.empty()) return false;
  std::string linkPath = folder + "\\";
  if (kind == kStartMenu) linkPath += productName_ + "\\";
  linkPath += shortcutName + ".lnk";
  const bool deleted =
      backups_.Has(linkPath) ? backups_.Restore(linkPath) : DeleteFileA(linkPath.c_str()) != FALSE;

  if (kind == kStartMenu && (desktop || startup)) return RemoveShortcut(shortcutName, false, desktop, startup);
  if (kind == kDesktop && startup) return RemoveShortcut(shortcutName, false, false, true);
  return deleted;
}
