// The finish page's column: each list as tall as its lines (as far as the page has room),
// scroll bars only where a list's text does not fit, and no gap where a hidden list
// would be.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "resources/resource_ids.h"
#include "setup/finish_page.h"

namespace {

// A parent for the page; the finish page asks its frame for nothing.
class CPlainFrame : public CDialog {
 public:
  CPlainFrame() : CDialog(IDD_SETUP) {}
};

class FinishLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_ = std::make_unique<CPlainFrame>();
    ASSERT_TRUE(frame_->Create());
    page_ = std::make_unique<CDialogPage6>(frame_->m_hWnd);
    ASSERT_TRUE(page_->Create(frame_->m_hWnd));
    page_->SetLink1("Home", "http://example.org/");
    page_->SetLink2("", "");
    page_->SetLink3("Mail", "mailto:a@b");
  }
  void TearDown() override {
    page_.reset();
    frame_.reset();
  }

  HWND Item(int id) const { return ::GetDlgItem(page_->m_hWnd, id); }
  RECT Rect(int id) const {
    RECT rect;
    ::GetWindowRect(Item(id), &rect);
    ::MapWindowPoints(nullptr, page_->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  bool Shown(int id) const { return (::GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
  bool HasBar(int id, LONG bar) const { return (::GetWindowLongA(Item(id), GWL_STYLE) & bar) != 0; }
  int LineHeight() const {
    RECT units{0, 0, 0, 8};
    ::MapDialogRect(page_->m_hWnd, &units);
    return units.bottom;
  }
  static std::string Lines(int count, const std::string& line) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line + std::to_string(i) + "\r\n";
    return text;
  }
  // Every shown control of the column below the one before it, without a gap of a line.
  void ExpectColumnWithoutGaps() {
    int previousBottom = -1;
    for (int id : {IDC_RUN_BOX, IDC_RUN_LIST, IDC_OPEN_BOX, IDC_OPEN_LIST, IDC_FINISH_LINK1, IDC_FINISH_LINK2,
                   IDC_FINISH_LINK3}) {
      if (!Shown(id)) continue;
      const RECT rect = Rect(id);
      if (previousBottom >= 0) {
        EXPECT_GE(rect.top, previousBottom) << "control " << id << " overlaps the one above";
        EXPECT_LT(rect.top - previousBottom, LineHeight()) << "a gap above control " << id;
      }
      previousBottom = rect.bottom;
    }
    RECT page;
    ::GetClientRect(page_->m_hWnd, &page);
    EXPECT_LE(previousBottom, page.bottom) << "the column runs off the page";
  }

  std::unique_ptr<CPlainFrame> frame_;
  std::unique_ptr<CDialogPage6> page_;
};

TEST_F(FinishLayout, OneProgramAndNothingToOpen) {
  page_->SetRunList("Tool.exe - C:\\Apps\\Tool.exe\r\n");
  page_->SetOpenList("");
  page_->ShowResult(true);
  EXPECT_FALSE(Shown(IDC_OPEN_BOX));
  EXPECT_FALSE(Shown(IDC_OPEN_LIST));
  EXPECT_FALSE(HasBar(IDC_RUN_LIST, WS_VSCROLL));
  EXPECT_FALSE(HasBar(IDC_RUN_LIST, WS_HSCROLL));
  const RECT list = Rect(IDC_RUN_LIST);
  EXPECT_LT(list.bottom - list.top, 2 * LineHeight()) << "room for more than the one line";
  ExpectColumnWithoutGaps();
}

TEST_F(FinishLayout, ManyLinesAndWideLinesGetTheirScrollBars) {
  struct Case {
    const char* what;
    std::string run, open;
    bool runVertical, runHorizontal;
  };
  const std::string wide = "Tool.exe - C:\\" + std::string(120, 'W') + "\\Tool";
  const Case cases[] = {
      {"many programs", Lines(12, "Tool.exe - C:\\Apps\\Tool"), "Readme.txt - C:\\Apps\\Readme.txt\r\n", true, false},
      {"a wide line", Lines(1, wide), "Readme.txt - C:\\Apps\\Readme.txt\r\n", false, true},
      {"both lists short", Lines(2, "Tool.exe - C:\\Apps\\Tool"), Lines(2, "Doc.txt - C:\\Apps\\Doc"), false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    page_->SetRunList(c.run);
    page_->SetOpenList(c.open);
    page_->ShowResult(true);
    EXPECT_EQ(HasBar(IDC_RUN_LIST, WS_VSCROLL), c.runVertical);
    EXPECT_EQ(HasBar(IDC_RUN_LIST, WS_HSCROLL), c.runHorizontal);
    EXPECT_FALSE(HasBar(IDC_OPEN_LIST, WS_VSCROLL));
    EXPECT_FALSE(HasBar(IDC_OPEN_LIST, WS_HSCROLL));
    ExpectColumnWithoutGaps();
  }
}

}  // namespace
