#include "engine/preinstall_checks.h"

#include <cctype>
#include <cstdio>
#include <limits>
#include <string>

#include "engine/install_progress.h"
#include "formats/record_stream.h"

namespace {

constexpr uint32_t kPlatformWin9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint32_t kPlatformCe = 3;

const char kQuestionEnd[] = "\nDo you still wish to proceed?";

DetectedOs Os(const std::string& name, int code) {
  DetectedOs os;
  os.Name = name;
  os.Code = code;
  return os;
}

// Windows 95, 98 and ME tell their service packs apart only by the build number.
DetectedOs ClassifyWin9x(uint32_t major, uint32_t minor, uint32_t build) {
  if (major != 4) return DetectedOs();
  if (minor < 10) {
    if (build == 950) return Os("Windows 95", kOsWin95);
    if (build >= 951 && build <= 1080) return Os("Windows 95 SP1", kOsWin95Sp1);
    if (build > 1080) return Os("Windows 95 OSR2", kOsWin95Osr2);
    return DetectedOs();
  }
  if (minor == 10) {
    if (build == 1998) return Os("Windows 98", kOsWin98);
    if (build >= 1999 && build <= 2182) return Os("Windows 98 SP1", kOsWin98Sp1);
    if (build >= 2183) return Os("Windows 98 SE", kOsWin98Se);
    return DetectedOs();
  }
  if (minor == 90) return Os("Windows ME", kOsWinMe);
  return DetectedOs();
}

// Windows 11 kept the version numbers of Windows 10; only its build tells it apart.
constexpr uint32_t kFirstWindows11Build = 22000;

DetectedOs ClassifyNt(uint32_t major, uint32_t minor, uint32_t build) {
  struct NtVersion {
    uint32_t major, minor;
    const char* name;
    int code;
  };
  static const NtVersion kKnown[] = {
      {3, 51, "Windows NT 3.51", kOsWinNt351}, {4, 0, "Windows NT 4", kOsWinNt4},
      {5, 0, "Windows 2000", kOsWin2000},      {5, 1, "Windows XP", kOsWinXp},
      {5, 2, "Windows 2003", kOsWin2003},      {6, 0, "Windows Vista/2008", kOsWinVista2008},
      {6, 1, "Windows 7", kOsWin7},            {6, 2, "Windows 8", kOsWin8},
      {6, 3, "Windows 8.1", kOsWin81},
  };
  for (const NtVersion& known : kKnown) {
    if (known.major == major && known.minor == minor) return Os(known.name, known.code);
  }
  if (major == 10 && minor == 0) {
    return build >= kFirstWindows11Build ? Os("Windows 11", kOsWin11) : Os("Windows 10", kOsWin10);
  }
  const bool afterWindows81 = major > 6 || (major == 6 && minor > 3);
  if (afterWindows81) return Os("Windows NT " + std::to_string(major) + "." + std::to_string(minor), kOsWinLater);
  return DetectedOs();
}

struct SupportFlag {
  uint32_t SetupConfig::*flag;
  int firstCode, lastCode;
  const char* text;
};

// In the order the failure message lists them.
const SupportFlag kSupportFlags[] = {
    {&SetupConfig::SupportsWin95, kOsWin95, kOsWin95Osr2, "Win 95 "},
    {&SetupConfig::SupportsWin98, kOsWin98, kOsWin98Se, "Win 98 "},
    {&SetupConfig::SupportsWinMe, kOsWinMe, kOsWinMe, "Win ME "},
    {&SetupConfig::SupportsWinNT, kOsWinNt351, kOsWinNt4, "Win NT "},
    {&SetupConfig::SupportsWin2000, kOsWin2000, kOsWin2000, "Win 2K "},
    {&SetupConfig::SupportsWinXP, kOsWinXp, kOsWinXp, "Win XP "},
    {&SetupConfig::SupportsWin2003, kOsWin2003, kOsWin2003, "Win 2003 "},
    {&SetupConfig::SupportsWinVista2008, kOsWinVista2008, kOsWinLater, "Win Vista/2008 "},
};

// The settings block, at most 2156 bytes, and the registry records, of which the summary
// tells nothing: 64 KiB hold about fifty of the longest ones, far more of usual ones.
constexpr uint64_t kUndescribedRecordsAllowance = 64 * 1024;
// Index, three shortcut flags, run and register flags, size halves, three times, and the
// five strings' length fields.
constexpr uint64_t kEntryRecordFixedBytes = 76;

uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

// Compared in bytes: the same order as the megabyte figures, without rounding. Equal
// counts are not enough.
bool HasRoom(uint64_t requiredBytes, const DiskSpaceReport& report) {
  return report.FreeBytesToCaller > requiredBytes && report.TotalFreeBytes > requiredBytes &&
         report.TotalBytes > requiredBytes;
}

std::string FormatMegabytes(uint64_t bytes) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", BytesToMegabytes(bytes));
  return text;
}

}  // namespace

DetectedOs ClassifyOsVersion(const OsVersionReport& report) {
  const uint32_t build = report.BuildNumber & 0xFFFFu;
  switch (report.PlatformId) {
    case kPlatformWin9x:
      return ClassifyWin9x(report.MajorVersion, report.MinorVersion, build);
    case kPlatformNt:
      return ClassifyNt(report.MajorVersion, report.MinorVersion, build);
    case kPlatformCe:
      return Os("Windows CE", kOsWinCe);
    default:
      return DetectedOs();
  }
}

bool GetOSVersion(std::string* name, int* code) {
  DetectedOs os;
  const std::optional<OsVersionReport> report = QueryOsVersion();
  if (report) os = ClassifyOsVersion(*report);
  *name = os.Name;
  *code = os.Code;
  return report.has_value();
}

bool IsOsSupported(const SetupConfig& config, int code) {
  for (const SupportFlag& entry : kSupportFlags) {
    if (code >= entry.firstCode && code <= entry.lastCode) return config.*entry.flag != 0;
  }
  return false;
}

std::string SupportedSystemsList(const SetupConfig& config) {
  std::string list;
  for (const SupportFlag& entry : kSupportFlags) {
    if (config.*entry.flag) list += entry.text;
  }
  return list;
}

std::string OsSupportQuestion(const std::optional<OsVersionReport>& report, const SetupConfig& config) {
  if (!report) {
    return std::string("Failed to determine Operating System type and version.\n"
                       "The program may or may not install or run.") +
           kQuestionEnd;
  }
  const DetectedOs os = ClassifyOsVersion(*report);
  if (os.Code == kOsUnknown) {
    return std::string("Unknown Operating System type and version.\n"
                       "The program may or may not install or run.") +
           kQuestionEnd;
  }
  if (IsOsSupported(config, os.Code)) return std::string();
  return "Detected Operating System: " + os.Name + ". Supported: " + SupportedSystemsList(config) +
         "\nThe program is not configured to run on this type of Operating System." + kQuestionEnd;
}

uint64_t RequiredBytes(const SummaryHead& head) {
  return (static_cast<uint64_t>(head.TotalSizeHigh) << 32) | head.TotalSizeLow;
}


std::string DriveRootOf(const std::string& destinationFolder) { return destinationFolder.substr(0, 3); }

std::string DiskSpaceQuestion(uint64_t requiredBytes, const std::optional<DiskSpaceReport>& report) {
  if (!report) {
    return std::string("Failed to obtain free disk space!\n"
                       "The program may or may not have enough free disk space to install to.") +
           kQuestionEnd;
  }
  if (HasRoom(requiredBytes, *report)) return std::string();
  return "Not enough free space to complete installation.\nRequired space: " + FormatMegabytes(requiredBytes) +
         " MB, Free space: " + FormatMegabytes(report->FreeBytesToCaller) + " MB." + kQuestionEnd;
}

uint64_t EntryRecordBytes(const std::vector<SummaryEntry>& entries) {
  uint64_t bytes = 0;
  for (const SummaryEntry& entry : entries) {
    bytes += kEntryRecordFixedBytes;
    for (const char* text : {entry.Name, entry.Extension, entry.TargetPath, entry.ShortcutName,
                             entry.ShortcutDescription}) {
      bytes += BufferText(text).size();
    }
  }
  return bytes;
}

uint64_t TemporaryBytesNeeded(const SummaryRecord& summary, uint64_t replacedBytes) {
  const uint64_t log = SaturatingAdd(EntryRecordBytes(summary.Entries), kUndescribedRecordsAllowance);
  return SaturatingAdd(replacedBytes, log);
}

namespace {

// "C:" for a path on drive C, "\\host\share" for one on a network share, in one letter
// case; empty when the path names neither.
std::string VolumeOf(const std::string& path) {
  std::string volume;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    volume = path.substr(0, 2);
  } else if (path.rfind("\\\\", 0) == 0) {
    const std::string::size_type hostEnd = path.find('\\', 2);
    if (hostEnd == std::string::npos || hostEnd == 2) return std::string();
    const std::string::size_type shareEnd = path.find('\\', hostEnd + 1);
    volume = path.substr(0, shareEnd);
    if (volume.size() == hostEnd + 1) return std::string();
  }
  for (char& c : volume) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return volume;
}

}  // namespace

bool OnSameDrive(const std::string& a, const std::string& b) {
  const std::string volume = VolumeOf(a);
  return !volume.empty() && volume == VolumeOf(b);
}

std::vector<DriveNeed> DriveNeeds(const std::string& destination, uint64_t destinationBytes,
                                  const std::string& temporaryFolder, uint64_t temporaryBytes) {
  if (OnSameDrive(destination, temporaryFolder)) {
    return {DriveNeed{destination, SaturatingAdd(destinationBytes, temporaryBytes), false}};
  }
  return {DriveNeed{destination, destinationBytes, false}, DriveNeed{temporaryFolder, temporaryBytes, true}};
}

std::string DriveSpaceQuestion(const DriveNeed& need, const std::optional<DiskSpaceReport>& report) {
  if (!need.temporaryOnly) return DiskSpaceQuestion(need.bytes, report);
  if (!report) {
    return "Failed to obtain free disk space of the temporary folder \"" + need.folder +
           "\"!\nThe program may or may not have enough free disk space to install." + kQuestionEnd;
  }
  if (HasRoom(need.bytes, *report)) return std::string();
  return "Not enough free space in the temporary folder \"" + need.folder +
         "\" to complete installation.\nRequired space: " + FormatMegabytes(need.bytes) +
         " MB, Free space: " + FormatMegabytes(report->FreeBytesToCaller) + " MB." + kQuestionEnd;
}
