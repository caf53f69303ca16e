// The libraries a program imports and delay-loads, from 32-bit and 64-bit programs made in
// memory; damaged tables are refused with a reason, never read out of bounds.

#include <gtest/gtest.h>

#include <functional>

#include "builder/pe/import_reader.h"
#include "tests/pe/synthetic_program.h"

namespace {

using Names = std::vector<std::string>;

constexpr uint32_t kRva = 0x1000;  // the first section
constexpr uint32_t kImportTable = 0x000, kDelayTable = 0x040;
constexpr uint32_t kKernelName = 0x100, kVersionName = 0x110, kShlwapiName = 0x120;
constexpr uint32_t kModuleHandle = 0x180, kAddressTable = 0x188, kNameTable = 0x190;

void PutImport(SyntheticSection& section, uint32_t offset, uint32_t nameRva) {
  section.PutU32(offset + 12, nameRva);
  section.PutU32(offset + 16, kRva + kAddressTable);
}

void PutDelayImport(SyntheticSection& section, uint32_t offset, uint32_t nameRva) {
  section.PutU32(offset, 1);  // RVAs, not addresses
  section.PutU32(offset + 4, nameRva);
  section.PutU32(offset + 8, kRva + kModuleHandle);
  section.PutU32(offset + 12, kRva + kAddressTable);
  section.PutU32(offset + 16, kRva + kNameTable);
}

// Imports KERNEL32.dll and VERSION.dll, delay-loads SHLWAPI.dll, all through the directories.
SyntheticProgram ProgramWithImports(bool pe32Plus) {
  SyntheticProgram program;
  program.pe32Plus = pe32Plus;
  SyntheticSection& section = program.sections[0];
  section.PutText(kKernelName, "KERNEL32.dll");
  section.PutText(kVersionName, "VERSION.dll");
  section.PutText(kShlwapiName, "SHLWAPI.dll");
  PutImport(section, kImportTable, kRva + kKernelName);
  PutImport(section, kImportTable + 20, kRva + kVersionName);
  PutDelayImport(section, kDelayTable, kRva + kShlwapiName);
  program.directories[kDirectoryImport] = {kRva + kImportTable, 60};
  program.directories[kDirectoryDelayImport] = {kRva + kDelayTable, 64};
  return program;
}

bool Read(const SyntheticProgram& program, ImportedLibraries* imports, std::string* error) {
  PeImage image;
  if (!PeImage::Parse(program.Link(), &image, error)) {
    ADD_FAILURE() << "the program does not parse: " << *error;
    return false;
  }
  return ReadImportedLibraries(image, imports, error);
}

class BothKinds : public testing::TestWithParam<bool> {};

// The delay-import descriptor is listed once, though the directory leads to it and its
// shape would also find it.
TEST_P(BothKinds, ListsImportsAndDelayImportsInTableOrder) {
  ImportedLibraries imports;
  std::string error;
  ASSERT_TRUE(Read(ProgramWithImports(GetParam()), &imports, &error)) << error;
  EXPECT_EQ(imports.loaded, (Names{"KERNEL32.dll", "VERSION.dll"}));
  EXPECT_EQ(imports.delayLoaded, Names{"SHLWAPI.dll"});
}

TEST_P(BothKinds, ProgramWithoutTablesImportsNothing) {
  SyntheticProgram program;
  program.pe32Plus = GetParam();
  ImportedLibraries imports{{"stale"}, {"stale"}};
  std::string error;
  ASSERT_TRUE(Read(program, &imports, &error)) << error;
  EXPECT_TRUE(imports.loaded.empty());
  EXPECT_TRUE(imports.delayLoaded.empty());
}

INSTANTIATE_TEST_SUITE_P(Programs, BothKinds, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "PE32Plus" : "PE32"; });

struct Damage {
  const char* label;
  std::function<void(SyntheticProgram&)> apply;
  const char* reason;  // part of the expected message
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.label; }

std::vector<Damage> TableDamage() {
  auto first = [](SyntheticProgram& p) -> SyntheticSection& { return p.sections[0]; };
  return {
      {"import directory in no section", [](SyntheticProgram& p) { p.directories[kDirectoryImport].address = 0x9000; },
       "import directory: its descriptors run out"},
      {"import table without its closing entry",
       [first](SyntheticProgram& p) {
         // The last descriptor fills the end of the section; the next one would lie beyond.
         PutImport(first(p), 0x200 - 20, kRva + kKernelName);
         p.directories[kDirectoryImport].address = kRva + 0x200 - 20;
       },
       "import directory: its descriptors run out"},
      {"library name in no section", [first](SyntheticProgram& p) { PutImport(first(p), kImportTable, 0x9000); },
       "lies outside the sections' data"},
      {"library name without its end",
       [first](SyntheticProgram& p) {
         std::fill(first(p).data.begin() + 0x1F0, first(p).data.end(), 'a');
         PutImport(first(p), kImportTable, kRva + 0x1F0);
       },
       "has no end"},
      {"library name longer than a path",
       [first](SyntheticProgram& p) {
         first(p).PutText(0x40, std::string(300, 'a'));
         PutImport(first(p), kImportTable, kRva + 0x40);
       },
       "has no end within 260 bytes"},
      {"library without a name", [first](SyntheticProgram& p) { PutImport(first(p), kImportTable, kRva + 0x1FF); },
       "without a name"},
      {"delay-import descriptor of the old form", [first](SyntheticProgram& p) { first(p).PutU32(kDelayTable, 0); },
       "delay-import directory: a descriptor of the old form"},
      {"delay-import table without its closing entry",
       [first](SyntheticProgram& p) {
         PutDelayImport(first(p), 0x200 - 32, kRva + kShlwapiName);
         p.directories[kDirectoryDelayImport].address = kRva + 0x200 - 32;
       },
       "delay-import directory: its descriptors run out"},
  };
}

class DamagedTables : public testing::TestWithParam<Damage> {};

TEST_P(DamagedTables, AreRefusedWithAReason) {
  SyntheticProgram program = ProgramWithImports(false);
  GetParam().apply(program);
  ImportedLibraries imports;
  std::string error;
  EXPECT_FALSE(Read(program, &imports, &error));
  EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

std::string CaseName(const testing::TestParamInfo<Damage>& info) {
  std::string name = info.param.label;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedTables, testing::ValuesIn(TableDamage()), CaseName);

// GNU ld links a dlltool delay-import library's descriptors without pointing the
// delay-import directory at them: they are found by their shape, and only real ones are.
struct Lookalike {
  const char* label;
  std::function<void(SyntheticProgram&)> apply;
  Names delayLoaded;
};

void PrintTo(const Lookalike& lookalike, std::ostream* out) { *out << lookalike.label; }

std::vector<Lookalike> Lookalikes() {
  auto first = [](SyntheticProgram& p) -> SyntheticSection& { return p.sections[0]; };
  const Names found{"SHLWAPI.dll"};
  return {
      {"descriptor outside the directory", [](SyntheticProgram&) {}, found},
      {"module handle in a read-only section",
       [first](SyntheticProgram& p) {
         p.sections.emplace_back().characteristics = kSectionReadOnly;
         first(p).PutU32(kDelayTable + 8, SyntheticProgram::SectionRva(1));
       },
       {}},
      {"address table in a read-only section",
       [first](SyntheticProgram& p) {
         p.sections.emplace_back().characteristics = kSectionReadOnly;
         first(p).PutU32(kDelayTable + 12, SyntheticProgram::SectionRva(1));
       },
       {}},
      {"name table in no section", [first](SyntheticProgram& p) { first(p).PutU32(kDelayTable + 16, 0x9000); }, {}},
      {"addresses instead of RVAs", [first](SyntheticProgram& p) { first(p).PutU32(kDelayTable, 0); }, {}},
      {"name that is not a file name", [first](SyntheticProgram& p) { first(p).PutText(kShlwapiName, "SHLWAPI dll"); }, {}},
      {"name without an extension", [first](SyntheticProgram& p) { first(p).PutText(kShlwapiName, "SHLWAPI"); }, {}},
  };
}

class DelayImportShape : public testing::TestWithParam<Lookalike> {};

TEST_P(DelayImportShape, FindsOnlyRealDescriptors) {
  SyntheticProgram program = ProgramWithImports(false);
  program.directories[kDirectoryDelayImport] = {};
  GetParam().apply(program);
  ImportedLibraries imports;
  std::string error;
  ASSERT_TRUE(Read(program, &imports, &error)) << error;
  EXPECT_EQ(imports.delayLoaded, GetParam().delayLoaded);
}

std::string LookalikeName(const testing::TestParamInfo<Lookalike>& info) {
  std::string name = info.param.label;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DelayImportShape, testing::ValuesIn(Lookalikes()), LookalikeName);

}  // namespace
