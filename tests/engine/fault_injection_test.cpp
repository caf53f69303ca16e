// One representative installation (files replacing existing ones, a COM server replacing a
// registered one, links, one of them over an older link, a shared file, registry values
// overwriting existing ones, the uninstaller and its Add/Remove Programs entry) run once
// to count its changes to the machine, then once with each change failing in turn; then
// with the put-back of a replaced file failing too; then cancelled at each step boundary.
// Every run must leave the machine as it found it or, where the run rides a failure out or
// the cancel comes past the point of no return, installed as by a run without failures.

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>

#include "shell/fault_injection.h"
#include "shell/paths.h"
#include "shell/shared_files.h"
#include "shell/shell_links.h"
#include "tests/driver/host_path.h"
#include "tests/engine/engine_test_support.h"
#include "tests/engine/machine_snapshot.h"

using namespace engine_test;

namespace {

const std::string kSettingsKey = std::string(kTestRegistryKey) + "\\Settings";
// Where the COM server stand-in shows that it is registered.
const std::string kServerKey = std::string(kTestRegistryKey) + "\\Server";
// Some day in 2009: the existing files' times, which a put-back must keep.
constexpr uint64_t kOldTime = 0x01C9800000000000ull;

const char* OutcomeName(InstallOutcome outcome) {
  switch (outcome) {
    case InstallOutcome::kInstalled:
      return "installed";
    case InstallOutcome::kCancelled:
      return "cancelled";
    case InstallOutcome::kFailedAndUndone:
      return "failed and undone";
    case InstallOutcome::kDamagedPayload:
    default:
      return "damaged payload";
  }
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return folder;
}

void WriteOldFile(const std::string& path, const Bytes& bytes) {
  WriteBytes(path, bytes);
  const FILETIME time{static_cast<DWORD>(kOldTime), static_cast<DWORD>(kOldTime >> 32)};
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, &time, &time, &time);
  CloseHandle(file);
}

void SetStringValue(const std::string& subKey, const char* name, const char* text) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(key);
}

// The absolute paths in `text` that end in `name`, each from the last drive letter before it.
std::vector<std::string> PathsNamedIn(const std::string& text, const std::string& name) {
  std::vector<std::string> paths;
  for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    const std::size_t drive = text.rfind(":\\", at);
    if (drive == std::string::npos || drive == 0) continue;
    paths.push_back(text.substr(drive - 1, at + name.size() - (drive - 1)));
  }
  return paths;
}

// Counts the step boundaries and, at the chosen one, confirms a cancel as the dialog would.
class FaultHost : public RecordingHost {
 public:
  // The user replaces the library, whatever went wrong before.
  bool ConfirmLibraryReplacement(const std::string&, const LibraryQuestion&) override { return true; }
  void StepDone(int stepsDone) override {
    steps = stepsDone;
    if (stepsDone == cancelAtStep) engine->RequestAbort();
  }
  void SetStatusText(const std::string& text) override {
    RecordingHost::SetStatusText(text);
    if (text == cancelAtStatus) engine->RequestAbort();
  }
  InstallEngine* engine = nullptr;
  int cancelAtStep = 0;
  std::string cancelAtStatus;
  int steps = 0;
};

struct InstallRun {
  InstallOutcome outcome = InstallOutcome::kInstalled;
  bool injected = false;
  std::vector<std::string> calls;  // the paths of the counted calls, in order
  int steps = 0;
  std::vector<MessageBoxRequest> messages;
  MachineSnapshot before, after;

  // The last error the user was shown; empty without one.
  std::string FinalError() const {
    for (auto message = messages.rbegin(); message != messages.rend(); ++message) {
      if ((message->flags & MB_ICONMASK) == MB_ICONERROR) return message->text;
    }
    return std::string();
  }
};

class FaultInjectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    destination_ = sandbox_ / "Product";
    app_ = destination_ + "\\App.exe";
    server_ = destination_ + "\\Server.dll";
    sharedFile_ = WindowsFolder() + "\\BET Shared.txt";
    temp_ = WithoutTrailingBackslash(TempFolder());
    newServer_ = ReadBytes(driver::WindowsPathFromHost(BRISKLAY_COM_STAND_IN));
    ASSERT_FALSE(newServer_.empty());
    // An older build of the same server: the same program with other bytes behind it.
    oldServer_ = newServer_;
    const Bytes trailer = PatternBytes(32, 12);
    oldServer_.insert(oldServer_.end(), trailer.begin(), trailer.end());
    oldApp_ = PatternBytes(40, 11);

    std::vector<PayloadItem> items = {
        Item("Docs", "\\", "%DIR%\\Docs"),
        Item("App", "exe", "%DIR%\\App.exe", PatternBytes(64, 1)),
        Item("Readme", "txt", "%DIR%\\Docs\\Readme.txt", PatternBytes(20, 2)),
        Item("BET Shared", "txt", "%WINDOWS%\\BET Shared.txt", PatternBytes(10, 3)),
        // Last of the files: every run that fails after its registration starts regsvr32
        // three times (register, unregister, register the original again), the slowest part.
        Item("Server", "dll", "%DIR%\\Server.dll", newServer_),
    };
    items[1].startMenu = items[1].desktop = true;
    items[1].shortcutName = "BET App";
    items[4].registerServer = true;
    newApp_ = items[1].content;
    payload_ = MakePayload(sandbox_.Path(), items,
                           {{"HKEY_CURRENT_USER", kSettingsKey, "Mode", "REG_DWORD", "2"},
                            {"HKEY_CURRENT_USER", kSettingsKey + "\\Fresh", "Name", "REG_SZ", "new"}});

    const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    desktopLink_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\BET App.lnk";
    // Where the engine keeps the copies of replaced files while it runs.
    backups_ = SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Brisklay Backup";
    programsFolder_ = programs + "\\" + kProductName;
    scope_.trees = {sandbox_.Path(), sharedFile_, programsFolder_, backups_};
    scope_.shallowFolders = {programs, SpecialFolder(CSIDL_DESKTOPDIRECTORY), SpecialFolder(CSIDL_STARTUP), temp_};
    scope_.excluded = {payload_.archivePath};
    scope_.keys = {{HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kTestRegistryKey},
                   {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kUninstallKey},
                   {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kSharedDllsKey}};

    CleanProductTraces();
    ASSERT_EQ(SaveLink(desktopLink_, destination_ + "\\Old.exe", destination_, "The older version"),
              LinkSaving::kSaved);
    oldLink_ = ReadBytes(desktopLink_);
    CleanUp();
    temporaryNames_ = NamesIn(temp_);
  }

  void TearDown() override {
    fault_injection::Disarm();
    CleanUp();
    CleanProductTraces();
    CoUninitialize();
  }

  static std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

  // Takes away whatever a run may have left, so that no run inherits another's leftovers.
  // Quicker than CleanProductTraces(), which looks every shortcut folder up again.
  void CleanUp() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestRegistryKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    RemoveTree(programsFolder_);
    DeleteFileA(desktopLink_.c_str());
    RemoveTree(destination_);
    RemoveTree(backups_ + "\\" + kProductName);
    RemoveDirectoryA(backups_.c_str());
    DeleteFileA(sharedFile_.c_str());
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDllsKey, sharedFile_.c_str());
    if (!temporaryNames_.empty()) {
      for (const std::string& name : NamesIn(temp_)) {
        if (temporaryNames_.count(name) != 0) continue;
        const std::string path = temp_ + "\\" + name;
        RemoveTree(path);
        DeleteFileA(path.c_str());
      }
    }
  }

  // The machine an upgrade meets: an older App.exe and a registered older server, a file
  // the product does not know, a setting of the older version and its Desktop link (saved
  // once, then written as bytes: quicker than the shell).
  void PrepareMachine() {
    CleanUp();
    CreateDirectoryA(destination_.c_str(), nullptr);
    WriteOldFile(app_, oldApp_);
    WriteOldFile(server_, oldServer_);
    WriteOldFile(destination_ + "\\Notes.txt", PatternBytes(30, 13));
    SetStringValue(kSettingsKey, "Mode", "old");
    SetStringValue(kServerKey, "Registered", "yes");
    WriteOldFile(desktopLink_, oldLink_);
    // As on every Windows: the key is there before any installation counts a file.
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegCloseKey(key);
    }
  }

  // A cancel is confirmed after step `cancelAtStep`, or when the status `cancelAtStatus`
  // shows.
  InstallRun Install(const fault_injection::Plan& plan, int cancelAtStep = 0, const std::string& cancelAtStatus = "") {
    PrepareMachine();
    InstallRun run;
    run.before = MachineSnapshot::Take(scope_);
    {
      // Yes to the questions asked before anything went wrong; no afterwards, so that no
      // offer to try again can loop on a stuck file.
      ScriptedMessages messages([](const MessageBoxRequest& request) {
        if ((request.flags & MB_TYPEMASK) != MB_YESNO) return IDOK;
        return fault_injection::FailureInjected() ? IDNO : IDYES;
      });
      FaultHost host;
      InstallEngine engine(&host, PlanFor(payload_, destination_));
      host.engine = &engine;
      host.cancelAtStep = cancelAtStep;
      host.cancelAtStatus = cancelAtStatus;
      fault_injection::Arm(plan);
      engine.Install();
      fault_injection::Disarm();
      run.outcome = engine.Outcome();
      run.injected = fault_injection::FailureInjected();
      run.calls = fault_injection::CountedPaths();
      run.steps = host.steps;
      run.messages = messages.shown();
    }
    run.after = MachineSnapshot::Take(scope_);
    return run;
  }

  // What the installation lacks after a run without failures; empty when nothing.
  std::string Missing(const InstallRun& run) const {
    std::string missing;
    auto expect = [&missing](bool present, const std::string& what) {
      if (!present) missing += "missing: " + what + "\n";
    };
    expect(ReadBytes(app_) == newApp_, "the new " + app_);
    expect(ReadBytes(server_) == newServer_, "the new " + server_);
    expect(PathExists(destination_ + "\\Uninstall.exe"), "the uninstaller");
    expect(PathExists(destination_ + "\\Uninstall.log"), "the uninstall log");
    expect(ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").found,
           "the Add/Remove Programs entry");
    expect(ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey + "\\Fresh", "Name").found, "the registry values");
    expect(ReadRegistryValue(HKEY_CURRENT_USER, kServerKey, "Registered").found, "the server's registration");
    for (const auto& file : run.after.files) {
      if (ParentFolder(file.first) == temp_ && run.before.files.count(file.first) == 0) {
        missing += "left in the temporary folder: " + file.first + "\n";
      }
    }
    return missing;
  }

  // A snapshot of an installed machine as two complete installations share it: the times
  // of what they wrote differ, and so do the links to it, which hold its times.
  static MachineSnapshot Comparable(MachineSnapshot snapshot) {
    for (auto& file : snapshot.files) {
      file.second.creationTime = file.second.lastWriteTime = 0;
      if (file.second.kind == FileState::Kind::kLink) file.second.bytes.clear();
    }
    return snapshot;
  }

  // A run whose planned failure or cancel came: undone to the byte, with the failure told;
  // or, past the point of no return, complete. Empty when it is so.
  std::string Judged(const InstallRun& run, const std::string& what, bool failurePlanned = true) const {
    if (failurePlanned && !run.injected) return what + ": the failing call never came\n";
    switch (run.outcome) {
      case InstallOutcome::kInstalled: {
        const std::string differences = Differences(Comparable(counted_.after), Comparable(run.after), 5);
        return differences.empty() ? std::string()
                                   : what + ": installed, but not as a run without failures:\n" + differences;
      }
      case InstallOutcome::kFailedAndUndone:
      case InstallOutcome::kCancelled: {
        std::string verdict;
        const std::string differences = Differences(run.before, run.after, 5);
        if (!differences.empty()) verdict += differences;
        if (run.outcome == InstallOutcome::kFailedAndUndone && run.FinalError().empty()) {
          verdict += "no error message\n";
        }
        return verdict.empty() ? std::string()
                               : what + ": " + OutcomeName(run.outcome) + ", but the machine differs:\n" + verdict;
      }
      case InstallOutcome::kDamagedPayload:
      default:
        return what + ": ended as " + OutcomeName(run.outcome) + "\n";
    }
  }

  // The run without failures, which the others follow call by call and which a run past
  // the point of no return must equal.
  const InstallRun& Count() {
    counted_ = Install({0, ""});
    EXPECT_EQ(counted_.outcome, InstallOutcome::kInstalled);
    EXPECT_EQ(Missing(counted_), "");
    EXPECT_FALSE(counted_.calls.empty()) << "no call of the installation went through the fault seam";
    return counted_;
  }

  static std::string CallText(const InstallRun& counted, unsigned n) {
    return "call " + std::to_string(n) + " of " + std::to_string(counted.calls.size()) + " (" + counted.calls[n - 1] +
           ")";
  }

  Sandbox sandbox_;
  std::string destination_, app_, server_, sharedFile_, temp_, desktopLink_, backups_, programsFolder_;
  Bytes oldApp_, newApp_, oldServer_, newServer_, oldLink_;
  Payload payload_;
  SnapshotScope scope_;
  std::set<std::string> temporaryNames_;
  InstallRun counted_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(FaultInjectionTest, EachFailingChangeLeavesTheMachineAsItWas) {
  const auto start = std::chrono::steady_clock::now();
  const InstallRun& counted = Count();
  for (unsigned n = 1; n <= counted.calls.size(); ++n) {
    std::printf("  call %2u: %s\n", n, counted.calls[n - 1].c_str());
  }
  // Calls whose failure the run rides out (it completes as without failures).
  std::string riddenOut;
  std::string failures;
  for (unsigned n = 1; n <= counted.calls.size(); ++n) {
    const InstallRun run = Install({n, ""});
    if (run.outcome == InstallOutcome::kInstalled) riddenOut += " " + std::to_string(n);
    failures += Judged(run, CallText(counted, n));
  }
  EXPECT_TRUE(failures.empty()) << failures;
  std::printf("[ covered  ] %zu calls failed in turn, each undone or, for calls%s, ridden out; %.1f s\n",
              counted.calls.size(), riddenOut.empty() ? " none" : riddenOut.c_str(), SecondsSince(start));
}

// The original of a replaced file whose put-back fails stays on disk, outside the
// temporary folder, and the final message names it and where its copy is. App.exe is stuck
// after every later failure; the server, whose runs are slow, after the first one only.
TEST_F(FaultInjectionTest, AReplacedFileThatCannotBePutBackKeepsItsOriginal) {
  const auto start = std::chrono::steady_clock::now();
  const InstallRun& counted = Count();
  struct Replaced {
    std::string path;
    Bytes original;
    bool everyLaterFailure;
  };
  unsigned runs = 0, stuck = 0;
  std::string failures;
  for (const Replaced& replaced : {Replaced{app_, oldApp_, true}, Replaced{server_, oldServer_, false}}) {
    unsigned lastWrite = 0;
    for (unsigned n = 1; n <= counted.calls.size(); ++n) {
      if (SamePath(counted.calls[n - 1], replaced.path)) lastWrite = n;
    }
    if (lastWrite == 0) {
      failures += replaced.path + ": no call of the run changes it\n";
      continue;
    }
    const unsigned last = replaced.everyLaterFailure ? static_cast<unsigned>(counted.calls.size()) : lastWrite + 1;
    for (unsigned n = lastWrite + 1; n <= last && n <= counted.calls.size(); ++n) {
      const InstallRun run = Install({n, replaced.path});
      ++runs;
      const std::string what = CallText(counted, n) + " with " + replaced.path + " stuck";
      if (!run.injected) {
        failures += what + ": the failing call never came\n";
        continue;
      }
      if (run.outcome == InstallOutcome::kInstalled || ReadBytes(replaced.path) == replaced.original) continue;
      ++stuck;
      const std::string message = run.FinalError();
      std::string copy;
      const std::string name = replaced.path.substr(replaced.path.rfind('\\') + 1);
      for (const std::string& named : PathsNamedIn(message, name)) {
        if (!SamePath(named, replaced.path) && ReadBytes(named) == replaced.original) copy = named;
      }
      if (message.find(replaced.path) == std::string::npos || copy.empty()) {
        failures +=
            what + ": the original is not named with a copy that holds it; final message: \"" + message + "\"\n";
      } else if (IsInside(copy, temp_)) {
        failures += what + ": the original was kept in the temporary folder: " + copy + "\n";
      }
    }
  }
  EXPECT_TRUE(failures.empty()) << failures;
  std::printf("[ covered  ] %u runs with a replaced file stuck, %u of them kept an original aside, %.1f s\n", runs,
              stuck, SecondsSince(start));
}

// A cancel at each step boundary, then one confirmed while "Finalizing installation..."
// shows, as the late Yes of a user who clicked Cancel during the last files.
TEST_F(FaultInjectionTest, ACancelAtEachStepBoundaryUndoesEverythingOrCompletes) {
  const auto start = std::chrono::steady_clock::now();
  const InstallRun& counted = Count();
  ASSERT_GT(counted.steps, 0) << "the run tells no step boundary";
  std::string failures;
  int firstIgnored = 0;
  for (int k = 1; k <= counted.steps + 1; ++k) {
    const bool late = k > counted.steps;
    const InstallRun run = late ? Install({0, ""}, 0, "Finalizing installation...") : Install({0, ""}, k);
    const std::string what = late ? std::string("cancel while \"Finalizing installation...\" shows")
                                  : "cancel after step " + std::to_string(k) + " of " + std::to_string(counted.steps);
    failures += Judged(run, what, false);
    if (run.outcome == InstallOutcome::kInstalled && firstIgnored == 0) firstIgnored = k;
    if (run.outcome == InstallOutcome::kCancelled && firstIgnored != 0) {
      failures += what + ": undone, although an earlier cancel was ignored\n";
    }
  }
  EXPECT_TRUE(failures.empty()) << failures;
  std::printf("[ covered  ] %d step boundaries and a late cancel; %s, %.1f s\n", counted.steps,
              firstIgnored == 0              ? "every one undone"
              : firstIgnored > counted.steps ? "only the late one ignored"
                                             : ("ignored from step " + std::to_string(firstIgnored) + " on").c_str(),
              SecondsSince(start));
}

}  // namespace
