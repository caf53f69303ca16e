#include "engine/setup_instance_lock.h"

#include <gtest/gtest.h>

namespace {

// The mutex is per product, so a lock taken in this process stands for a setup that runs.
TEST(SetupInstanceLock, OneHolderPerProductWhateverTheLetterCase) {
  SetupInstanceLock running;
  ASSERT_TRUE(running.Acquire("Brisklay Lock Test"));
  SetupInstanceLock second;
  EXPECT_FALSE(second.Acquire("Brisklay Lock Test"));
  EXPECT_FALSE(second.Acquire("BRISKLAY lock test"));
  SetupInstanceLock otherProduct;
  EXPECT_TRUE(otherProduct.Acquire("Brisklay Lock Test 2"));

  running.Release();
  EXPECT_TRUE(second.Acquire("Brisklay Lock Test")) << "a setup that has ended leaves no lock behind";
  {
    SetupInstanceLock scoped;
    EXPECT_FALSE(scoped.Acquire("Brisklay Lock Test"));
  }
  second.Release();
  {
    SetupInstanceLock scoped;
    EXPECT_TRUE(scoped.Acquire("Brisklay Lock Test"));
  }
  EXPECT_TRUE(running.Acquire("Brisklay Lock Test")) << "the lock goes with its object";
}

TEST(SetupInstanceLock, NameAndMessage) {
  EXPECT_EQ(SetupInstanceMutexName("Acme Tool"), "Global\\Brisklay Setup acme tool");
  EXPECT_EQ(SetupInstanceMutexName("a\\b"), "Global\\Brisklay Setup a_b");
  EXPECT_EQ(SetupAlreadyRunningMessage("Acme Tool"),
            "Setup of \"Acme Tool\" is already running.\nPlease let it finish before you start it again.");
}

}  // namespace
