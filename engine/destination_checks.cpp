#include "engine/destination_checks.h"

#include <cstdio>

#include "engine/macro_text.h"
#include "engine/uninstall_log_merge.h"
#include "formats/record_stream.h"

namespace {

const char kDirectoryMacro[] = "%DIR%";

std::string ParentFolder(const std::string& path) {
  const std::string::size_type last = path.rfind('\\');
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::size_t LimitFor(const PlannedPath& planned) { return planned.folder ? kLongestFolderPath : kLongestFilePath; }

}  // namespace

std::string PathInDestination(const std::string& destination, const char* name) {
  return destination + "\\" + name;
}

std::vector<PlannedPath> PlannedDestinationPaths(const std::string& destination,
                                                 const std::vector<SummaryEntry>& entries, bool mergesLog) {
  std::vector<PlannedPath> paths{{destination, true}};
  for (const SummaryEntry& entry : entries) {
    const std::string target = BufferText(entry.TargetPath);
    if (target.find(kDirectoryMacro) == std::string::npos) continue;
    const std::string expanded = ExpandMacro(target, kDirectoryMacro, destination);
    if (IsFolderEntry(entry.Extension)) {
      paths.push_back({expanded, true});
    } else {
      paths.push_back({expanded, false});
      paths.push_back({ParentFolder(expanded), true});
    }
  }
  paths.push_back({PathInDestination(destination, kUninstallerName), false});
  paths.push_back({PathInDestination(destination, kUninstallLogName), false});
  if (mergesLog) paths.push_back({PathInDestination(destination, kMergedLogName), false});
  return paths;
}

DestinationVerdict CheckPathLengths(const std::string& destination, const std::vector<PlannedPath>& paths) {
  const PlannedPath* worst = nullptr;
  std::size_t worstOverrun = 0;
  for (const PlannedPath& planned : paths) {
    const std::size_t limit = LimitFor(planned);
    if (planned.path.size() > limit && planned.path.size() - limit > worstOverrun) {
      worst = &planned;
      worstOverrun = planned.path.size() - limit;
    }
  }
  DestinationVerdict verdict;
  if (worst == nullptr) return verdict;
  // Every planned path begins with the destination, so shortening it by the overrun
  // makes the worst path fit, and with it all others.
  const std::size_t longestDestination = destination.size() > worstOverrun ? destination.size() - worstOverrun : 0;
  verdict.refusal = DestinationRefusal::kPathTooLong;
  verdict.message = "The destination folder is too long for this product.\n\"" + worst->path + "\" would have " +
                    std::to_string(worst->path.size()) + " characters; Windows takes at most " +
                    std::to_string(LimitFor(*worst)) + (worst->folder ? " for a folder" : "") +
                    ".\nPlease choose a folder of at most " + std::to_string(longestDestination) + " characters.";
  return verdict;
}

DestinationVerdict CheckLogOwner(const std::string& destination, const std::string& productName,
                                 const std::optional<UninstallLogHeader>& existingLog) {
  DestinationVerdict verdict;
  if (!existingLog) return verdict;
  UninstallLogHeader ours{};
  SetBufferText(ours.cName, productName);
  if (IsSameProduct(*existingLog, ours)) return verdict;
  const std::string other = BufferText(existingLog->cName);
  verdict.refusal = DestinationRefusal::kOtherProduct;
  verdict.message = "The folder \"" + destination + "\" already holds \"" + other + "\".\nInstalling \"" +
                    productName + "\" there would take over its uninstall information, and \"" + other +
                    "\" could no longer be removed.\nPlease choose another folder.";
  return verdict;
}

std::optional<UninstallLogHeader> ReadDestinationLogHeader(const std::string& destination) {
  FILE* file = std::fopen(PathInDestination(destination, kUninstallLogName).c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  UninstallLogHeader header;
  const bool read = ReadUninstallLogHeader(&header, file);
  std::fclose(file);
  // A log without a name belongs to no product the user could be told about.
  if (!read || header.cName[0] == '\0') return std::nullopt;
  return header;
}

DestinationVerdict CheckDestination(const std::string& destination, const SummaryRecord& summary) {
  const std::string productName = BufferText(summary.Config.ProductName);
  const std::optional<UninstallLogHeader> existingLog = ReadDestinationLogHeader(destination);
  DestinationVerdict verdict = CheckLogOwner(destination, productName, existingLog);
  if (!verdict.Accepted()) return verdict;
  return CheckPathLengths(destination, PlannedDestinationPaths(destination, summary.Entries, existingLog.has_value()));
}
