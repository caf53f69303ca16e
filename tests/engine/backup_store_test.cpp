// The backup store finds a path whatever the letter case it is given in, as the file
// system does, and keeps a copy only of files that were there before the run.

#include "engine/backup_store.h"

#include <gtest/gtest.h>

#include "tests/engine/engine_test_support.h"

namespace {

using namespace engine_test;

class BackupStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original_ = PatternBytes(3000, 7);
    WriteBytes(sandbox_ / "Existing.txt", original_);
    store_.SetFolder(sandbox_ / "copies");
  }
  void TearDown() override { store_.DiscardAll(); }

  Sandbox sandbox_;
  BackupStore store_;
  Bytes original_;
};

TEST_F(BackupStoreTest, RestoresAKeptFileNamedInAnotherLetterCase) {
  ASSERT_TRUE(store_.Keep(sandbox_ / "Existing.txt"));
  EXPECT_TRUE(store_.Has(sandbox_ / "EXISTING.TXT"));
  WriteBytes(sandbox_ / "Existing.txt", PatternBytes(10, 1));

  ASSERT_TRUE(store_.Restore(sandbox_ / "existing.TXT"));
  EXPECT_EQ(ReadBytes(sandbox_ / "Existing.txt"), original_);
  EXPECT_FALSE(store_.Has(sandbox_ / "Existing.txt"));
  EXPECT_FALSE(PathExists(sandbox_ / "copies"));
}

TEST_F(BackupStoreTest, AFileThisRunCreatedIsNeverCopied) {
  // The run wrote New.txt itself; a later entry for the same path must not take the run's
  // own content for an old file to bring back.
  store_.NoteNew(sandbox_ / "New.txt");
  WriteBytes(sandbox_ / "New.txt", PatternBytes(10, 2));

  EXPECT_TRUE(store_.Keep(sandbox_ / "NEW.txt"));
  EXPECT_FALSE(store_.Has(sandbox_ / "New.txt"));
  EXPECT_FALSE(store_.Restore(sandbox_ / "New.txt"));
}

TEST_F(BackupStoreTest, KeepsOneCopyOfAFileWrittenTwice) {
  ASSERT_TRUE(store_.Keep(sandbox_ / "Existing.txt"));
  WriteBytes(sandbox_ / "Existing.txt", PatternBytes(10, 3));
  // The second entry for the path must not replace the copy with the first entry's bytes.
  ASSERT_TRUE(store_.Keep(sandbox_ / "EXISTING.txt"));

  ASSERT_TRUE(store_.Restore(sandbox_ / "Existing.txt"));
  EXPECT_EQ(ReadBytes(sandbox_ / "Existing.txt"), original_);
}

}  // namespace
