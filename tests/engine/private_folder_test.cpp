// The run's own temporary folder: a new folder every time, never one that was there, and
// files in it made new, so that nothing a program of the user put in the temporary folder
// is written through.
#include "shell/private_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>


namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ReadAll(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

TEST(PrivateFolder, IsANewFolderOfItsOwnAndGoesWithWhatItHolds) {
  PrivateFolder first, second;
  ASSERT_TRUE(first.Create(UserTempFolder()));
  ASSERT_TRUE(second.Create(UserTempFolder()));
  EXPECT_NE(first.Path(), second.Path());
  EXPECT_TRUE(IsPrivateFolder(first.Path()));
  EXPECT_TRUE(IsFolder(first.Path()));

  FILE* file = CreateNewFile(first.PathOf("Summary.tmp"));
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  const std::string path = first.Path();
  first.Remove();
  EXPECT_FALSE(IsFolder(path));
  EXPECT_FALSE(first.IsMade());
}

TEST(PrivateFolder, CannotBeMadeWhereThereIsNoFolder) {
  PrivateFolder folder;
  EXPECT_FALSE(folder.Create(UserTempFolder() + "no such folder\\"));
  EXPECT_FALSE(folder.Create(""));
  EXPECT_FALSE(folder.IsMade());
}

TEST(PrivateFolder, OnlyItsOwnKindOfNameCounts) {
  const std::string temp = UserTempFolder();
  const std::string digits = "0123456789abcdef0123456789abcdef";
  EXPECT_TRUE(IsPrivateFolder(temp + "Brisklay-" + digits));
  for (const std::string& other : {temp + "Brisklay-" + digits.substr(1), temp + "Brisklay-" + digits + "0",
                                   temp + "Brisklay-0123456789ABCDEF0123456789abcdef", temp + "Other-" + digits,
                                   temp + "Sub\\Brisklay-" + digits, std::string("C:\\Brisklay-") + digits}) {
    EXPECT_FALSE(IsPrivateFolder(other)) << other;
  }
}

TEST(CreateNewFile, NeverOpensWhatIsAlreadyThere) {
  PrivateFolder folder;
  ASSERT_TRUE(folder.Create(UserTempFolder()));
  const std::string file = folder.PathOf("planted.txt");
  FILE* planted = std::fopen(file.c_str(), "wb");
  ASSERT_NE(planted, nullptr);
  std::fputs("planted", planted);
  std::fclose(planted);
  ASSERT_TRUE(CreateDirectoryA(folder.PathOf("planted folder").c_str(), nullptr));

  EXPECT_EQ(CreateNewFile(file), nullptr);
  EXPECT_EQ(ReadAll(file), "planted");
  EXPECT_EQ(CreateNewFile(folder.PathOf("planted folder")), nullptr);
  RemoveDirectoryA(folder.PathOf("planted folder").c_str());
}

TEST(CreateKeptTempFile, MakesANewFileUnderAnUnguessableName) {
  FILE* first = CreateKeptTempFile("Kept Test ", ".log");
  FILE* second = CreateKeptTempFile("Kept Test ", ".log");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  std::fclose(first);
  std::fclose(second);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((UserTempFolder() + "Kept Test *.log").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int count = 0;
  do {
    const std::string name = found.cFileName;
    EXPECT_EQ(name.size(), std::string("Kept Test ").size() + 12 + 4) << name;
    DeleteFileA((UserTempFolder() + name).c_str());
    ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(count, 2);
}

}  // namespace
