#pragma once
// Whether a destination folder can take the installation, decided before anything on
// the machine changes. The wizard shows the refusal on the destination page; a run
// without a window reports it its own way. Nothing here talks to the user.
//
// The deciding parts are plain functions of the facts (the folder, the product's
// entries, the header of a log found there), so every case can be checked without
// touching a disk; CheckDestination gathers the facts from the real machine.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "formats/summary_record.h"
#include "formats/uninstall_log.h"

enum class DestinationRefusal {
  kNone,
  // A file or folder the run would make under the destination would not fit in a
  // Windows path: the run would fail halfway, after it had changed the machine.
  kPathTooLong,
  // The folder holds the uninstall log of another product: one log per folder, so one
  // of the two products could no longer be removed.
  kOtherProduct,
};

struct DestinationVerdict {
  DestinationRefusal refusal = DestinationRefusal::kNone;
  // What to tell the user, asking for another folder; empty when the folder is accepted.
  std::string message;

  bool Accepted() const { return refusal == DestinationRefusal::kNone; }
};

// The longest paths Windows takes: a file's whole path, and a folder's, which must leave
// room for a file name of 8.3 characters inside it.
constexpr std::size_t kLongestFilePath = 259;
constexpr std::size_t kLongestFolderPath = 247;

// The file names the run writes into the destination besides the product's own files.
constexpr char kUninstallerName[] = "Uninstall.exe";
constexpr char kUninstallLogName[] = "Uninstall.log";
// A log already there is merged through a file of this name beside it.
constexpr char kMergedLogName[] = "Uninstall.log.new";

// "<destination>\<name>", as the installation composes the paths of its own files.
std::string PathInDestination(const std::string& destination, const char* name);

// A path the run will make, and whether it is a folder.
struct PlannedPath {
  std::string path;
  bool folder;
};

// Every path the run makes under `destination`: the destination itself, each entry whose
// target lies under it (with the folders that lead to a file), the uninstaller and the
// log, and the merge file when `mergesLog`. Entries under the Windows or system folder
// are not the destination's concern and are left out.
std::vector<PlannedPath> PlannedDestinationPaths(const std::string& destination,
                                                 const std::vector<SummaryEntry>& entries, bool mergesLog);

// Refuses the destination when a planned path is longer than Windows takes, naming the
// path that overruns the most and the longest destination that would do.
DestinationVerdict CheckPathLengths(const std::string& destination, const std::vector<PlannedPath>& paths);

// Refuses the destination when it holds the log of another product than `productName`.
// `existingLog` is the header of "Uninstall.log" found there, or nothing: no log, or one
// too damaged to name its product (the installation replaces such a log, which names
// nothing the uninstaller could still remove).
DestinationVerdict CheckLogOwner(const std::string& destination, const std::string& productName,
                                 const std::optional<UninstallLogHeader>& existingLog);

// The header of "Uninstall.log" in `destination`, if there is a readable one.
std::optional<UninstallLogHeader> ReadDestinationLogHeader(const std::string& destination);

// Both checks on the real machine, the log's owner first. `destination` as the wizard
// reports it (without a trailing backslash, except for a drive root).
DestinationVerdict CheckDestination(const std::string& destination, const SummaryRecord& summary);
