#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "controls/hyperlink.h"
#include "tests/checks/scripted_message_boxes.h"
#include "tests/controls/test_dialog.h"

namespace {

constexpr UINT kHandCursorResource = 136;

class HyperLinkTest : public testing::Test {
 protected:
  void Bind(CMyHyperLink& link, int id) { ASSERT_TRUE(link.SubclassWindow(dialog.Item(id))); }

  // The colours the dialog's static painting would use for `link` right now.
  COLORREF PaintColour(const CMyHyperLink& link) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const LRESULT brush = ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(link.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
  }

  void Click(const CMyHyperLink& link) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(link.GetDlgCtrlID(), STN_CLICKED),
                   reinterpret_cast<LPARAM>(link.m_hWnd));
  }

  // A timer tick retrieved with the cursor at `point` (screen coordinates).
  void TimerTickWithCursorAt(const CMyHyperLink& link, POINT point) {
    ::SetCursorPos(point.x, point.y);
    ::PostMessageA(link, WM_TIMER, CMyHyperLink::kHoverTimerId, 0);
    PumpMessages();
  }

  static POINT CentreOf(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }

  static std::string ToolTipText(const CMyHyperLink& link) {
    char text[512] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = link.m_hWnd;
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageA(link.GetToolTip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
  }

  TestDialog dialog;
};

TEST_F(HyperLinkTest, BindingTakesTheTargetFromTheTextOrShowsNull) {
  CMyHyperLink fromText, preset, empty;
  preset.SetTarget("http://example.invalid/");
  Bind(fromText, IDC_TEST_LEFT_LINK);
  Bind(preset, IDC_TEST_RIGHT_LINK);
  Bind(empty, IDC_TEST_EMPTY_LINK);

  EXPECT_EQ(fromText.GetTarget(), "Left link");
  EXPECT_EQ(preset.GetTarget(), "http://example.invalid/");
  EXPECT_EQ(preset.GetWindowText(), "Right link");
  EXPECT_EQ(empty.GetTarget(), "NULL");
  EXPECT_EQ(empty.GetWindowText(), "NULL");
  for (const CMyHyperLink* link : {&fromText, &preset, &empty}) {
    EXPECT_TRUE(link->GetStyle() & SS_NOTIFY) << "a static without it reports no clicks";
    EXPECT_NE(link->GetNormalFont(), nullptr);
    EXPECT_NE(link->GetUnderlineFont(), nullptr);
  }
}

TEST_F(HyperLinkTest, ToolTipShowsTheCurrentTarget) {
  CMyHyperLink link;
  Bind(link, IDC_TEST_LEFT_LINK);
  ASSERT_NE(link.GetToolTip(), nullptr);
  EXPECT_EQ(::SendMessageA(link.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(ToolTipText(link), "Left link");
  link.SetTarget("mailto:someone@example.invalid");
  EXPECT_EQ(ToolTipText(link), "mailto:someone@example.invalid");
}

TEST_F(HyperLinkTest, FitsToTheCaptionKeepingItsAnchor) {
  struct Case {
    int id;
    const char* anchor;
    LONG (*position)(const RECT&);  // what must not move
    LONG tolerance;                 // centring halves are truncated
  };
  const Case cases[] = {
      {IDC_TEST_LEFT_LINK, "left edge", [](const RECT& r) { return r.left; }, 0},
      {IDC_TEST_RIGHT_LINK, "right edge", [](const RECT& r) { return r.right; }, 0},
      {IDC_TEST_CENTRED_LINK, "centre", [](const RECT& r) { return r.left + r.right; }, 1},
  };
  for (const Case& c : cases) {
    CMyHyperLink link;
    const RECT before = CWindow(dialog.Item(c.id)).GetRectInParent();
    link.SetFitToText(1);
    Bind(link, c.id);
    link.SetWindowText("Go");
    link.SetTarget("http://example.invalid/");
    const RECT after = link.GetRectInParent();

    SIZE extent{};
    {
      CClientDC dc(link);
      HGDIOBJ previous = ::SelectObject(dc, link.GetUnderlineFont());
      ::GetTextExtentPoint32A(dc, "Go", 2, &extent);
      ::SelectObject(dc, previous);
    }
    EXPECT_LE(std::abs((after.right - after.left) - extent.cx), c.tolerance) << c.anchor;
    EXPECT_EQ(after.bottom - after.top, extent.cy) << c.anchor;
    EXPECT_EQ(after.top, before.top) << c.anchor;
    EXPECT_LE(std::abs(c.position(after) - c.position(before)), c.tolerance) << c.anchor;
  }
}

TEST_F(HyperLinkTest, CentredImageLinkKeepsItsMiddle) {
  CMyHyperLink link;
  const RECT before = CWindow(dialog.Item(IDC_TEST_MIDDLE_LINK)).GetRectInParent();
  link.SetFitToText(1);
  Bind(link, IDC_TEST_MIDDLE_LINK);
  const RECT after = link.GetRectInParent();
  EXPECT_LT(after.bottom - after.top, before.bottom - before.top);
  EXPECT_LE(std::abs((after.top + after.bottom) - (before.top + before.bottom)), 1);
  EXPECT_EQ(after.left, before.left);
}

TEST_F(HyperLinkTest, WithoutFittingKeepsItsTemplateSize) {
  CMyHyperLink link;
  const RECT before = CWindow(dialog.Item(IDC_TEST_LEFT_LINK)).GetRectInParent();
  Bind(link, IDC_TEST_LEFT_LINK);
  link.SetWindowText("Go");
  link.SetTarget("http://example.invalid/");
  const RECT after = link.GetRectInParent();
  EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(HyperLinkTest, HoverColoursAndUnderlinesUntilTheMouseLeaves) {
  struct Case {
    int mode;
    bool underlinedWhileOver, underlinedAfter;
  };
  const Case cases[] = {
      {CMyHyperLink::kUnderlineHover, true, false},
      {CMyHyperLink::kUnderlineAlways, true, true},
      {CMyHyperLink::kUnderlineNever, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "underline mode " << c.mode);
    CMyHyperLink link;
    Bind(link, IDC_TEST_LEFT_LINK);
    link.SetUnderlineMode(c.mode);
    EXPECT_EQ(PaintColour(link), RGB(0, 0, 238));

    ::SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(link.IsHovering());
    EXPECT_EQ(PaintColour(link), RGB(255, 0, 0));
    EXPECT_EQ(link.GetFont() == link.GetUnderlineFont(), c.underlinedWhileOver);

    TimerTickWithCursorAt(link, CentreOf(link));
    EXPECT_TRUE(link.IsHovering()) << "a tick with the cursor inside changes nothing";

    TimerTickWithCursorAt(link, POINT{5, 5});
    EXPECT_FALSE(link.IsHovering());
    EXPECT_EQ(PaintColour(link), RGB(0, 0, 238));
    EXPECT_EQ(link.GetFont() == link.GetUnderlineFont(), c.underlinedAfter);
  }
}

TEST_F(HyperLinkTest, LinkColoursCanBeChanged) {
  CMyHyperLink link;
  Bind(link, IDC_TEST_LEFT_LINK);
  link.SetLinkColors(RGB(1, 1, 1), RGB(2, 2, 2));
  EXPECT_EQ(link.GetHoverColor(), ::GetSysColor(COLOR_HIGHLIGHT));
  link.SetLinkColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
  EXPECT_EQ(PaintColour(link), RGB(1, 1, 1));
  link.SetFollowed(1);
  EXPECT_EQ(PaintColour(link), RGB(2, 2, 2));
  ::SendMessageA(link, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(PaintColour(link), RGB(3, 3, 3));
}

TEST_F(HyperLinkTest, ShowsTheProgramsHandCursorOrTheSystemsOwn) {
  CMyHyperLink link;
  Bind(link, IDC_TEST_LEFT_LINK);
  EXPECT_EQ(link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            FALSE);

  link.SetCursorResource(kHandCursorResource);
  ASSERT_NE(link.GetCursor(), nullptr);
  EXPECT_NE(link.GetCursor(), ::LoadCursorA(nullptr, IDC_HAND)) << "the program's own cursor comes first";
  EXPECT_EQ(link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), link.GetCursor());

  link.SetCursorResource(9999);
  EXPECT_EQ(link.GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(HyperLinkTest, ClickOpensTheTargetAndFollowsItsOutcome) {
  CMyHyperLink link;
  Bind(link, IDC_TEST_LEFT_LINK);

  // A program that exits at once stands in for a browser.
  link.SetTarget("hostname.exe");
  {
    ScriptedMessageBoxes boxes(kIdOk);
    Click(link);
    EXPECT_TRUE(boxes.shown().empty());
  }
  EXPECT_TRUE(link.IsFollowed());
  EXPECT_EQ(PaintColour(link), RGB(85, 26, 139));

  link.SetTarget("C:\\no such folder\\no such file.brisklay");
  ScriptedMessageBoxes boxes(kIdOk);
  Click(link);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Unable to follow link.\nError: 2.");  // file not found
  EXPECT_EQ(boxes.shown()[0].caption, "Error");
  EXPECT_EQ(boxes.shown()[0].flags, static_cast<unsigned>(kMbIconError));
  EXPECT_EQ(boxes.shown()[0].owner, static_cast<void*>(link.m_hWnd));
  EXPECT_FALSE(link.IsFollowed()) << "a failed click undoes the earlier success";
  EXPECT_EQ(PaintColour(link), RGB(0, 0, 238));
}

TEST_F(HyperLinkTest, ReleasedControlKeepsAUsableFont) {
  HWND control = dialog.Item(IDC_TEST_LEFT_LINK);
  const HFONT original = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  {
    CMyHyperLink link;
    Bind(link, IDC_TEST_LEFT_LINK);
    ::SendMessageA(link, WM_MOUSEMOVE, 0, 0);
    ASSERT_EQ(link.GetFont(), link.GetUnderlineFont());
  }
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), original);
}

}  // namespace
