#pragma once
// Shows a summary record, a data file (raw or as the compressed archive), an uninstall
// log or the product facts as JSON, without file contents.

#include <ostream>
#include <string>

enum class DumpKind { Summary, Data, Archive, Log, Product };

// From a name given with --as: "summary", "data", "archive", "log" or "product".
bool DumpKindFromName(const std::string& name, DumpKind* kind);
// From the file's name: *.sum.bin, *.archive.bin, Uninstall.log or *.log, *.product.txt.
bool DumpKindFromPath(const std::string& path, DumpKind* kind);

// Damaged input gives false and a reason; nothing is written to `out` then.
bool DumpFile(const std::string& path, DumpKind kind, std::ostream& out, std::string* error);
