#include "shell/product_lock.h"

#include <gtest/gtest.h>

namespace {

// The mutex is per product, so a lock taken in this process stands for a setup that runs.
TEST(ProductLock, OneHolderPerProductWhateverTheLetterCase) {
  ProductLock running;
  ASSERT_TRUE(running.Acquire("Brisklay Lock Test"));
  ProductLock second;
  EXPECT_FALSE(second.Acquire("Brisklay Lock Test"));
  EXPECT_FALSE(second.Acquire("BRISKLAY lock test"));
  ProductLock otherProduct;
  EXPECT_TRUE(otherProduct.Acquire("Brisklay Lock Test 2"));

  running.Release();
  EXPECT_TRUE(second.Acquire("Brisklay Lock Test")) << "a setup that has ended leaves no lock behind";
  {
    ProductLock scoped;
    EXPECT_FALSE(scoped.Acquire("Brisklay Lock Test"));
  }
  second.Release();
  {
    ProductLock scoped;
    EXPECT_TRUE(scoped.Acquire("Brisklay Lock Test"));
  }
  EXPECT_TRUE(running.Acquire("Brisklay Lock Test")) << "the lock goes with its object";
}

TEST(ProductLock, NameAndMessage) {
  EXPECT_EQ(ProductLockName("Acme Tool"), "Global\\Brisklay Setup acme tool");
  EXPECT_EQ(ProductLockName("a\\b"), "Global\\Brisklay Setup a_b");
  EXPECT_EQ(ProductBusyMessage("Acme Tool"),
            "Setup or removal of \"Acme Tool\" is already running.\nPlease let it finish, then start this program again.");
}

}  // namespace
