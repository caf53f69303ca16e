// No text cut off anywhere: every window of the setup and of the uninstaller, for the
// example product and for one with the longest texts the builder accepts, measured with
// the dialogs' own font. Also the finish lists and the summary text, which show scroll
// bars only where their text needs them, and the finish marker between its two buttons.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/setup_config_builder.h"
#include "resources/resource_ids.h"
#include "tests/driver/driver.h"
#include "tests/e2e/demo_setup.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scratch_folder.h"
#include "tests/e2e/wine_version.h"
#include "tests/e2e/wizard_session.h"
#include "uninstaller/uninstaller_ids.h"

namespace e2e {
namespace {

using namespace driver;

constexpr Millis kInstallTimeout{180000};
constexpr WPARAM kAboutCommand = 0x10;
constexpr int kInstallStatus = 1017;
constexpr int kInstallCloseButton = 1000;
constexpr int kRunBox = 1018;
constexpr int kRunList = 1019;
constexpr int kOpenBox = 1020;
constexpr int kOpenList = 1021;
constexpr int kFinishLinks[] = {1022, 1023, 1024};

// The character that is widest in `font` among those a product name may hold.
char WidestNameCharacter(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  char widest = 'W';
  int widestWidth = 0;
  for (char c = '!'; c <= '~'; ++c) {
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos) continue;
    SIZE size{};
    GetTextExtentPoint32A(dc, &c, 1, &size);
    if (size.cx > widestWidth) {
      widest = c;
      widestWidth = size.cx;
    }
  }
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return widest;
}

// Gives every line "key = ..." the value; TOML's basic strings escape the backslash and
// the quote, and neither can be in a name.
void ReplaceLines(std::string* manifest, const std::string& key, const std::string& value) {
  for (std::string::size_type at = manifest->find("\n" + key + " = "); at != std::string::npos;
       at = manifest->find("\n" + key + " = ", at + 1)) {
    const std::string::size_type end = manifest->find('\n', at + 1);
    manifest->replace(at + 1, end - at - 1, key + " = \"" + value + "\"");
  }
}

struct Product {
  std::string name;
  bool longest;
};

class TextFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Measured at the DPI the setup works at, which declares itself DPI-aware.
    using SetAware = BOOL(WINAPI*)();
    if (auto setAware = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware"))))
      setAware();
    ASSERT_EQ(setupFont_.Error(), "");
    destination_ = scratch_.PathOf("Installed");
  }
  void TearDown() override {
    session_.Process().Kill();
    uninstaller_.Kill();
    RemoveDemoTraces();
  }

  void Build(bool longest) {
    DemoBuild build;
    std::string error;
    ManifestEdit edit;
    if (longest) {
      const std::string word(kMaxProductNameLength, WidestNameCharacter(setupFont_.Font()));
      product_.name = word;
      const std::string caption(kMaxLinkCaptionLength, WidestNameCharacter(setupFont_.Font()));
      edit = [this, caption](std::string* manifest) {  // runs after this block has ended
        // The example's two links, and a third.
        ReplaceLines(manifest, "caption", caption);
        const std::string::size_type colours = manifest->find("\n[colours]");
        manifest->insert(colours, "\n[[links]]\ncaption = \"" + caption + "\"\nurl = \"https://example.org/3\"\n");
        const std::string::size_type product = manifest->find("\n[product]\nname = ");
        const std::string::size_type end = manifest->find('\n', product + 18);
        manifest->replace(product + 11, end - product - 11, "name = \"" + product_.name + "\"");
        // Something to open after the installation, so both finish lists are shown.
        *manifest += "\n[[files]]\nsource = \"docs/Readme.txt\"\ntarget = \"%DIR%\\\\Readme.txt\"\nrun_at_finish = true\n";
      };
    }
    ASSERT_TRUE(BuildDemoSetup(scratch_.Path(), DataMode::kResources, {}, &build, &error, edit)) << error;
    program_ = build.program;
  }

  void ExpectAllFit(HWND window, HFONT font, const std::string& where) {
    const std::vector<std::string> clipped = ClippedTexts(window, font);
    EXPECT_TRUE(clipped.empty()) << where << ":\n" << ::testing::PrintToString(clipped);
  }

  // A bar only for a direction in which the text does not fit.
  void ExpectScrollBarsOnlyWhereNeeded(HWND box, const std::string& where) {
    ASSERT_NE(box, nullptr) << where;
    const std::string text = WindowText(box);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, setupFont_.Font());
    int lines = 0, widest = 0;
    for (std::string::size_type start = 0; start < text.size(); ++lines) {
      std::string::size_type end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      SIZE size{};
      GetTextExtentPoint32A(dc, text.c_str() + start, static_cast<int>(end - start), &size);
      widest = std::max<int>(widest, size.cx);
      start = end + 2;
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);

    RECT client{};
    GetClientRect(box, &client);
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    const bool vertical = (style & WS_VSCROLL) != 0, horizontal = (style & WS_HSCROLL) != 0;
    const int textHeight = lines * metrics.tmHeight;
    if (vertical) {
      EXPECT_GT(textHeight, client.bottom) << where << ": a vertical scroll bar for " << lines << " lines";
    } else {
      EXPECT_LE(textHeight, client.bottom) << where << ": lines hidden without a scroll bar";
    }
    if (horizontal) {
      EXPECT_GT(widest, client.right - 8) << where << ": a horizontal scroll bar for lines that fit";
    }
  }

  void WalkToSummary() {
    ASSERT_TRUE(session_.Start("", program_)) << session_.Process().Error();
    ASSERT_NE(session_.WaitForFrame(product_.name), nullptr) << "the wizard never showed its frame";
    for (Page page = session_.CurrentPage(); page != Page::kSummary; page = session_.CurrentPage()) {
      ASSERT_NE(page, Page::kNone);
      ExpectAllFit(session_.Frame(), setupFont_.Font(), PageName(page));
      if (page == Page::kLicense) {
        ASSERT_TRUE(Click(session_.PageControl(kAcceptRadio)));
      }
      if (page == Page::kDestination) {
        ASSERT_TRUE(SetEditText(session_.PageControl(kPageText), destination_));
      }
      ASSERT_TRUE(WaitUntil([&] { return IsEnabled(session_.FrameButton(kNextButton)); }));
      ASSERT_TRUE(session_.ClickNext());
      ASSERT_TRUE(session_.WaitForPageChange(page)) << "stuck on the " << PageName(page) << " page";
    }
    ExpectAllFit(session_.Frame(), setupFont_.Font(), "summary");
    ExpectScrollBarsOnlyWhereNeeded(session_.PageControl(kPageText), "summary text");
    ExpectMarkerBetweenButtons();
  }

  // Centred in the gap between Next and Finish, its text on the line of theirs.
  void ExpectMarkerBetweenButtons() {
    HWND marker = session_.FrameButton(kFinishMarker);
    ASSERT_TRUE(IsShown(marker));
    RECT markerRect, next, close;
    GetWindowRect(marker, &markerRect);
    GetWindowRect(session_.FrameButton(kNextButton), &next);
    GetWindowRect(session_.FrameButton(kCloseButton), &close);
    EXPECT_GT(markerRect.left, next.right - 1) << "the marker overlaps Next";
    EXPECT_LT(markerRect.right, close.left + 1) << "the marker overlaps Finish";
    const int gapLeft = markerRect.left - next.right, gapRight = close.left - markerRect.right;
    EXPECT_LE(std::abs(gapLeft - gapRight), 2) << "not centred in the gap: " << gapLeft << " and " << gapRight;
    const int markerMiddle = (markerRect.top + markerRect.bottom) / 2, buttonMiddle = (close.top + close.bottom) / 2;
    EXPECT_LE(std::abs(markerMiddle - buttonMiddle), 2) << "the marker's text is not level with the buttons' text";
  }

  void CheckAboutBox() {
    ASSERT_TRUE(PostSystemCommand(session_.Frame(), kAboutCommand));
    HWND about = WaitForTopLevelWindow(session_.Process().Id(), {"About Setup", "", true});
    ASSERT_NE(about, nullptr);
    ExpectAllFit(about, setupFont_.Font(), "About box");
    Click(GetDlgItem(about, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  }

  void InstallAndCheckDialog() {
    ASSERT_TRUE(session_.ClickCloseButton());
    HWND dialog = nullptr;
    std::string status;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND box = WaitForMessageBox(session_.Process().Id(), "", Millis(0))) {
            if (!PressMessageBoxButton(box, IDYES)) PressMessageBoxButton(box, IDOK);
          }
          const auto dialogs = TopLevelWindows(session_.Process().Id(), {"Installing...", "#32770", true});
          dialog = dialogs.empty() ? nullptr : dialogs.front();
          status = WindowText(GetDlgItem(dialog, kInstallStatus));
          return status == "Finished." || status == "Aborted.";
        },
        kInstallTimeout))
        << "the installation did not end; status '" << status << "'";
    ASSERT_EQ(status, "Finished.");
    ExpectAllFit(dialog, setupFont_.Font(), "installation dialog");
    ASSERT_TRUE(Click(GetDlgItem(dialog, kInstallCloseButton)));
    ASSERT_TRUE(session_.WaitForPage(Page::kFinish, kInstallTimeout));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(session_.Frame()); }));
  }

  // The shown parts stacked without a gap where a hidden list would be.
  void CheckFinishPage() {
    ExpectAllFit(session_.Frame(), setupFont_.Font(), "finish page");
    std::vector<HWND> column;
    for (int id : {kRunBox, kRunList, kOpenBox, kOpenList, kFinishLinks[0], kFinishLinks[1], kFinishLinks[2]}) {
      HWND control = FindById(session_.Frame(), id, false);
      if (IsShown(control)) column.push_back(control);
    }
    for (int id : {kRunList, kOpenList}) {
      HWND list = FindById(session_.Frame(), id, false);
      if (IsShown(list)) ExpectScrollBarsOnlyWhereNeeded(list, "finish list " + std::to_string(id));
    }
    RECT dialogUnits{0, 0, 4, 8};
    MapDialogRect(GetParent(column.front()), &dialogUnits);
    const int textHeight = dialogUnits.bottom;
    for (std::size_t i = 1; i < column.size(); ++i) {
      RECT above, below;
      GetWindowRect(column[i - 1], &above);
      GetWindowRect(column[i], &below);
      EXPECT_GE(below.top, above.bottom) << "control " << ControlId(column[i]) << " overlaps the one above";
      EXPECT_LT(below.top - above.bottom, textHeight)
          << "a gap of " << (below.top - above.bottom) << " pixels above control " << ControlId(column[i]);
    }
  }

  void CloseSetup() {
    for (int id : {kRunBox, kOpenBox}) {
      HWND box = FindById(session_.Frame(), id, false);
      if (IsShown(box) && IsChecked(box)) Click(box);
    }
    ASSERT_TRUE(session_.ClickCloseButton());
    EXPECT_TRUE(session_.WaitForExit().has_value());
  }

  // The uninstaller's window while it asks, and once it has reported.
  void UninstallAndCheckWindow() {
    const std::string program = destination_ + "\\Uninstall.exe";
    ASSERT_TRUE(uninstaller_.Start(program, "\"" + program + "\" " + destination_)) << uninstaller_.Error();
    TemplateFont font(program, IDD_UNINSTALL);
    ASSERT_EQ(font.Error(), "");
    HWND window = WaitForTopLevelWindow(uninstaller_.Id(), {"Uninstall " + product_.name, "#32770", true});
    ASSERT_NE(window, nullptr);
    int boxes = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (HWND box = WaitForMessageBox(uninstaller_.Id(), "", Millis(0))) {
            ExpectAllFit(window, font.Font(), boxes == 0 ? "uninstaller, asking" : "uninstaller, finished");
            if (!PressMessageBoxButton(box, IDYES)) PressMessageBoxButton(box, IDOK);
            ++boxes;
            WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
          }
          return !uninstaller_.IsRunning();
        },
        kInstallTimeout));
    EXPECT_EQ(boxes, 2) << "a question and a summary";
  }

  void CheckEveryWindow(bool longest) {
    ASSERT_NO_FATAL_FAILURE(Build(longest));
    ASSERT_NO_FATAL_FAILURE(WalkToSummary());
    ASSERT_NO_FATAL_FAILURE(CheckAboutBox());
    ASSERT_NO_FATAL_FAILURE(InstallAndCheckDialog());
    ASSERT_NO_FATAL_FAILURE(CheckFinishPage());
    ASSERT_NO_FATAL_FAILURE(CloseSetup());
    ASSERT_NO_FATAL_FAILURE(UninstallAndCheckWindow());
  }

  ReportedWindowsVersion version_{kSupportedTestVersion};
  TemplateFont setupFont_{SetupExePath(), IDD_SETUP};
  ScratchFolder scratch_;
  WizardSession session_;
  ChildProcess uninstaller_;
  Product product_{kDemoName, false};
  std::string program_;
  std::string destination_;
};

TEST_F(TextFitTest, ExampleProduct) { CheckEveryWindow(false); }

TEST_F(TextFitTest, LongestTextsTheBuilderAccepts) { CheckEveryWindow(true); }

}  // namespace
}  // namespace e2e
