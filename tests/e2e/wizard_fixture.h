#pragma once
// The frame every wizard test starts from: a scratch folder for the setup data, the
// setup program reporting a supported Windows version, and a session killed at the end.

#include <gtest/gtest.h>

#include <string>

#include "tests/driver/driver.h"
#include "tests/e2e/scratch_folder.h"
#include "tests/e2e/test_product.h"
#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"

namespace e2e {

class WizardTest : public ::testing::Test {
 protected:
  // The base path has a blank in it, as real ones often do.
  std::string Base() const { return scratch_.PathOf("Product Setup"); }

  // Writes the product as external data and starts the wizard on it; fatal to the test
  // if the first page never shows.
  void StartWizard(const TestProduct& product) {
    product_ = product;
    ASSERT_TRUE(WriteExternalData(Base(), product));
    ASSERT_TRUE(session_.Start(Base())) << session_.Process().Error();
    ASSERT_NE(session_.WaitForFrame(product.name), nullptr) << "the wizard never showed its frame";
    ASSERT_TRUE(session_.WaitForPage(Page::kWelcome));
  }

  // Moves forward with Next to `page`, accepting the licence on the way.
  void GoTo(Page page) {
    for (Page from = session_.CurrentPage(); from != page; from = session_.CurrentPage()) {
      ASSERT_NE(from, Page::kNone);
      if (from == Page::kLicense) {
        ASSERT_TRUE(driver::Click(session_.PageControl(kAcceptRadio)));
      }
      ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsEnabled(session_.FrameButton(kNextButton)); }))
          << "Next stays disabled on the " << PageName(from) << " page";
      ASSERT_TRUE(session_.ClickNext());
      ASSERT_TRUE(session_.WaitForPageChange(from)) << "Next did not leave the " << PageName(from) << " page";
    }
  }

  bool WaitForButtons(const ButtonState& expected) {
    return driver::WaitUntil([&] { return ReadButtons(session_) == expected; });
  }

  bool WaitForPageText(int id, const std::string& text) {
    return driver::WaitUntil([&] { return driver::WindowText(session_.PageControl(id)) == text; });
  }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  ScratchFolder scratch_;
  TestProduct product_;
  WizardSession session_;
};

}  // namespace e2e
