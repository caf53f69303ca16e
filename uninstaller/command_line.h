#pragma once
// What the uninstaller reads from its command line. Add/Remove Programs starts it as
//   "C:\Program Files\Demo\Uninstall.exe" C:\Program Files\Demo
// and "Uninstall.lnk" starts it with no argument, in the installation folder. Its own
// temporary copy, which removes the uninstaller after it has ended, gets a private form:
//   "C:\...\Temp\Uninstall-123.exe" /finish <handle> "<uninstaller>" "<folder>"

#include <cstdint>
#include <string>

// The installation folder named by an Add/Remove Programs command line: the text from one
// character before the second colon to the end (the drive letter of the appended folder),
// without trailing blanks or a closing quote. Empty when the line holds no second colon,
// as when the program was started from its link.
std::string InstallFolderFromCommandLine(const std::string& commandLine);

// The uninstaller's switches, taken out of the line before the folder rule reads it:
//   "C:\Program Files\Demo\Uninstall.exe" /S /log=C:\Logs\demo.log
// The line is split as the C runtime splits argv (common/command_line_words.h), so a
// switch may be quoted whole or hold its quotes anywhere; letter case does not matter.
struct UninstallSwitches {
  // /S or /VERYSILENT: nothing shown and nothing asked.
  bool quiet = false;
  // /SILENT: the progress window, but no question and no closing message.
  bool silent = false;
  bool log = false;
  // Empty with `log` set: the default log in the temporary folder.
  std::string logFile;
  // What is wrong with the line, naming the argument; empty when it can be used.
  std::string error;
  // The command line without the switches, for InstallFolderFromCommandLine.
  std::string remainingLine;

  bool ShowsNoMessageBox() const { return quiet || silent; }
};

UninstallSwitches ParseUninstallSwitches(const std::string& commandLine);

struct FinishArguments {
  uintptr_t processHandle = 0;  // inherited handle of the uninstaller to wait for
  uintptr_t copyHandle = 0;     // inherited handle that deletes the copy's file on close; 0: none
  std::string uninstallerPath;
  std::string folder;
};

std::string FinishCommandLine(const std::string& copyPath, const FinishArguments& arguments);
// True only for a line made by FinishCommandLine.
bool ParseFinishCommandLine(const std::string& commandLine, FinishArguments* arguments);
