#pragma once
// The two checks that guard an installation before anything on the machine changes: is
// this Windows one the product supports, and do the destination drive and the temporary
// folder's drive have room for it. Each one tells what is wrong, as a question whether to
// go on anyway; the wizard asks it (setup/preinstall_questions.h). The destination's own
// checks, which refuse a folder outright, are in engine/destination_checks.h.
//
// The deciding parts (which version is which, what to ask) are plain functions of what
// the system reported, so they can be checked for every version; the Query* functions
// ask the real system.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/setup_config.h"
#include "formats/summary_record.h"

// ---- Operating system ------------------------------------------------------

// The fields of OSVERSIONINFOA that tell Windows versions apart.
struct OsVersionReport {
  uint32_t PlatformId;
  uint32_t MajorVersion;
  uint32_t MinorVersion;
  uint32_t BuildNumber;  // as reported; only its low 16 bits count
};

enum OsCode : int {
  kOsUnknown = 0,
  kOsWin95 = 1,
  kOsWin95Sp1 = 2,
  kOsWin95Osr2 = 3,
  kOsWin98 = 4,
  kOsWin98Sp1 = 5,
  kOsWin98Se = 6,
  kOsWinMe = 7,
  kOsWinNt351 = 101,
  kOsWinNt4 = 102,
  kOsWin2000 = 103,
  kOsWinXp = 104,
  kOsWin2003 = 105,
  kOsWinVista2008 = 106,
  kOsWin7 = 107,
  kOsWin8 = 108,
  kOsWin81 = 109,
  kOsWin10 = 110,
  kOsWin11 = 111,
  // An NT version newer than any named here: still a Windows after Vista.
  kOsWinLater = 112,
  kOsWinCe = 201,
};

struct DetectedOs {
  std::string Name = "Unknown Windows Version";
  int Code = kOsUnknown;
};

// Names a reported version; anything not recognised stays "Unknown Windows Version", 0.
// The version record does not tell a Server edition from the desktop one with the same
// numbers (Server 2008 R2 reports 6.1 like Windows 7), so both get the same name and code.
DetectedOs ClassifyOsVersion(const OsVersionReport& report);

// Asks the system (GetVersionExA). Empty when the system cannot tell.
std::optional<OsVersionReport> QueryOsVersion();

// Fills `name` and `code` from the running system; false when the version cannot be read,
// leaving them at "Unknown Windows Version" and 0.
bool GetOSVersion(std::string* name, int* code);

// Whether a flag of the product admits the system. Windows CE never is. A product that
// supports Vista/2008 supports every later Windows too.
bool IsOsSupported(const SetupConfig& config, int code);

// "Win 95 Win 98 ..." for the flags that are set, each name followed by a blank.
std::string SupportedSystemsList(const SetupConfig& config);

// What to ask the user before going on, or an empty text when the system is supported.
// `report` is empty when the version could not be read.
std::string OsSupportQuestion(const std::optional<OsVersionReport>& report, const SetupConfig& config);

// ---- Disk space ------------------------------------------------------------

// The three counts GetDiskFreeSpaceExA reports, in bytes.
struct DiskSpaceReport {
  uint64_t FreeBytesToCaller;
  uint64_t TotalBytes;
  uint64_t TotalFreeBytes;
};

// The bytes the payload needs: TotalSizeHigh * 2^32 + TotalSizeLow.
uint64_t RequiredBytes(const SummaryHead& head);

// The path whose drive is queried: the destination's first three characters ("C:\").
std::string DriveRootOf(const std::string& destinationFolder);

// Asks the system about the drive that holds `destinationFolder`. Empty when it cannot.
std::optional<DiskSpaceReport> QueryDiskSpace(const std::string& destinationFolder);

// What to ask the user before installing, or an empty text when there is room.
// `report` is empty when the free space could not be read. Equal counts are not enough.
std::string DiskSpaceQuestion(uint64_t requiredBytes, const std::optional<DiskSpaceReport>& report);

// ---- Disk space of the whole run -------------------------------------------
//
// Besides the product's files on the destination drive, the run keeps its own files while
// it works: a copy of every file it replaces (to put it back on failure) and its uninstall
// log, counted on the temporary folder's drive. A temporary folder on the destination's
// drive adds its needs to the product's.

// A drive the run writes to and the bytes it needs there.
struct DriveNeed {
  std::string folder;  // the destination, or the temporary folder
  uint64_t bytes;
  // The drive holds the temporary folder and not the destination.
  bool temporaryOnly;
};

// Bytes the entries' records take in the uninstall log: each record's fixed fields and its
// five strings.
uint64_t EntryRecordBytes(const std::vector<SummaryEntry>& entries);

// What the run keeps beside the destination, counted on the temporary folder's drive: the
// uninstall log until it is placed (the records, with room for the registry records, which
// the summary does not describe) and `replacedBytes` (the copies of the files the payload
// would overwrite, kept until the run is complete). The payload itself is inflated
// straight into the files and needs no room of its own.
uint64_t TemporaryBytesNeeded(const SummaryRecord& summary, uint64_t replacedBytes);

// Whether two folders lie on one drive: the same drive letter, or the same network
// share, whatever the letter case.
bool OnSameDrive(const std::string& a, const std::string& b);

// The destination's need and the temporary folder's, as one need when both lie on one
// drive. Sums too large to count are held at the largest count.
std::vector<DriveNeed> DriveNeeds(const std::string& destination, uint64_t destinationBytes,
                                  const std::string& temporaryFolder, uint64_t temporaryBytes);

// What to ask about one drive, or an empty text when it has room: the destination's
// question as above, or one that names the temporary folder.
std::string DriveSpaceQuestion(const DriveNeed& need, const std::optional<DiskSpaceReport>& report);

// Asks the system about the drive that holds `folder`, asking about the folder itself,
// which also serves network folders. Empty when it cannot.
std::optional<DiskSpaceReport> QueryFolderDiskSpace(const std::string& folder);

// The temporary folder the installation uses, with its trailing backslash; empty when
// the system cannot name it.
std::string QueryTemporaryFolder();

// The sizes of the files that the entries' targets, expanded for `destination` and this
// machine's Windows and system folders, would replace.
uint64_t QueryReplacedBytes(const std::string& destination, const std::vector<SummaryEntry>& entries);

// The questions of every drive the run writes to on this machine, the destination's
// first; none when each has room.
std::vector<std::string> QueryDiskSpaceQuestions(const std::string& destination, const SummaryRecord& summary);
