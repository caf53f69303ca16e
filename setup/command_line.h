#pragma once
// What Setup.exe reads from its command line: the base path of external-data mode and the
// switches of an unattended run.

#include <optional>
#include <string>

// The text after the program path and the one blank that follows it, taken verbatim.
// The program path is normally quoted ("C:\Dir\setup.exe" base); an unquoted one ends at
// the first blank. A base path wrapped in one pair of double quotes, as shells and Wine
// pass a path with blanks, is used without them. "" means normal mode.
std::string ExtractBasePath(const std::string& commandLine);

enum class SetupMode {
  kWizard,
  // Only the installation dialog, answering every question by rule; it closes itself.
  kSilent,
  // Nothing on the screen at all.
  kVerySilent,
};

struct ShortcutChoice {
  bool startMenu = false;
  bool desktop = false;
};

struct SetupOptions {
  SetupMode mode = SetupMode::kWizard;
  std::string basePath;
  std::optional<std::string> destination;
  std::optional<bool> allUsers;
  std::optional<ShortcutChoice> shortcuts;
  bool log = false;
  // Empty with `log` set: the default log in the temporary folder.
  std::string logFile;
  bool force = false;
  bool help = false;
  // /SUPPRESSMSGBOXES: a /silent run logs its message boxes and answers them with their
  // cautious default, as /verysilent does; a wizard run shows them still.
  bool suppressMessageBoxes = false;
  // /CLOSEAPPLICATIONS: running programs of the product are closed without the warning.
  bool closeApplications = false;
  // /NOCANCEL: the installation dialog cannot be cancelled; the wizard pages still can.
  bool noCancel = false;
  // Set when the line cannot be used: what is wrong, naming the argument.
  std::string error;

  bool Silent() const { return mode != SetupMode::kWizard; }
};

// The line is split as the C runtime splits argv (common/command_line_words.h); a switch
// is a word whose unquoted text begins with '/', read in any order and letter case. A line
// without any keeps its old meaning: everything after the program path is the base path,
// blanks and all. With switches, the base path is the first word that is not one. A word
// written beginning with "/D=" takes the rest of the line as written, blanks included,
// without one pair of quotes around all of it.
SetupOptions ParseSetupCommandLine(const std::string& commandLine);

// The text of the usage message.
std::string SetupUsageText();
