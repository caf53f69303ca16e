#include <gtest/gtest.h>

#include <string>

#include "controls/colored_static.h"
#include "tests/controls/test_dialog.h"

namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);
constexpr COLORREF kTextColour = RGB(255, 0, 255);

class ColoredStaticTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(caption.SubclassWindow(dialog.Item(IDC_TEST_CAPTION)));
    caption.SetTextColor(kTextColour);
  }
  void Resize(int width, int height) {
    ::SetWindowPos(caption, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Columns in which any pixel of rows [top, bottom) has the text colour.
  static int TextColumns(const ClientRender& render, int top, int bottom) {
    int columns = 0;
    for (int x = 0; x < render.Width(); ++x) {
      for (int y = top; y < bottom; ++y) {
        if (render.Pixel(x, y) == kTextColour) {
          ++columns;
          break;
        }
      }
    }
    return columns;
  }

  TestDialog dialog;
  CColoredStatic caption;
};

TEST_F(ColoredStaticTest, PaintsTheBandsAcrossTheWholeControl) {
  struct Case {
    int width;
    COLORREF from, to;
    int x;
    COLORREF colour;
  };
  const Case cases[] = {
      {255, RGB(0, 0, 0), RGB(255, 255, 255), 0, RGB(0, 0, 0)},
      {255, RGB(0, 0, 0), RGB(255, 255, 255), 1, RGB(1, 1, 1)},
      {255, RGB(0, 0, 0), RGB(255, 255, 255), 128, RGB(128, 128, 128)},
      {255, RGB(0, 0, 0), RGB(255, 255, 255), 254, RGB(254, 254, 254)},
      {510, RGB(255, 0, 0), RGB(0, 0, 255), 1, RGB(255, 0, 0)},
      {510, RGB(255, 0, 0), RGB(0, 0, 255), 2, RGB(254, 0, 1)},
      {510, RGB(255, 0, 0), RGB(0, 0, 255), 509, RGB(1, 0, 254)},
      {100, RGB(0, 0, 0), RGB(255, 255, 255), 99, RGB(254, 254, 254)},
      {1023, RGB(0, 0, 0), RGB(255, 255, 255), 1022, RGB(254, 254, 254)},
      {300, RGB(10, 20, 30), RGB(10, 20, 30), 150, RGB(10, 20, 30)},
  };
  caption.SetGradient(1);
  caption.SetWindowText("");
  for (const Case& c : cases) {
    Resize(c.width, 40);
    caption.SetGradientColors(c.from, c.to);
    const ClientRender render(caption, kSentinel);
    EXPECT_EQ(render.Pixel(c.x, 30), c.colour) << "width " << c.width << ", x " << c.x;
  }
}

TEST_F(ColoredStaticTest, DrawsTheTextOnTheGradientInTheCaptionFont) {
  caption.SetGradient(1);
  caption.SetGradientColors(RGB(0, 0, 0), RGB(0, 0, 0));
  caption.SetCaptionFont(42, 16, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
  Resize(400, 60);
  caption.SetWindowText("Product");
  const ClientRender render(caption, kSentinel);
  // A 42-pixel font reaches well below the default 14-pixel one.
  EXPECT_GT(TextColumns(render, 20, 42), 0);
  EXPECT_EQ(render.Pixel(399, 59), RGB(0, 0, 0));
}

TEST_F(ColoredStaticTest, ShowsAmpersandsAsThemselves) {
  caption.SetGradient(1);
  Resize(400, 40);
  // Read as prefixes, "&" would show nothing and "&&" a single ampersand.
  caption.SetWindowText("&");
  const int one = TextColumns(ClientRender(caption, kSentinel), 0, 40);
  caption.SetWindowText("&&");
  const int two = TextColumns(ClientRender(caption, kSentinel), 0, 40);
  EXPECT_GT(one, 0);
  EXPECT_GT(two, one + one / 2);
}

// A name too wide for the band is drawn smaller, still on one line.
TEST_F(ColoredStaticTest, KeepsLongTextOnOneLineInsteadOfWrapping) {
  caption.SetGradient(1);
  Resize(240, 80);
  caption.SetWindowText("Wide words wrap here if wrapping were on");
  const ClientRender render(caption, kSentinel);
  EXPECT_GT(TextColumns(render, 0, 20), 0);
  EXPECT_EQ(TextColumns(render, 24, 80), 0);
}

TEST_F(ColoredStaticTest, LineBreaksInTheTextAreHonoured) {
  caption.SetGradient(1);
  Resize(200, 80);
  caption.SetWindowText("One\nTwo");
  EXPECT_GT(TextColumns(ClientRender(caption, kSentinel), 18, 40), 0);
}

TEST_F(ColoredStaticTest, PlainModeUsesBackgroundColourOrNothing) {
  Resize(200, 40);
  caption.SetWindowText("");
  caption.SetBackgroundColor(RGB(0, 128, 0));
  EXPECT_EQ(ClientRender(caption, kSentinel).Pixel(100, 30), RGB(0, 128, 0));
  caption.SetTransparent(1);
  EXPECT_EQ(ClientRender(caption, kSentinel).Pixel(100, 30), kSentinel);
}

TEST_F(ColoredStaticTest, ColourChangesRepaintAtOnceModeChangesAtTheNextPaint) {
  struct Case {
    const char* what;
    void (*change)(CColoredStatic&);
    bool repaints;
  };
  const Case cases[] = {
      {"gradient colours", [](CColoredStatic& c) { c.SetGradientColors(RGB(1, 1, 1), RGB(2, 2, 2)); }, true},
      {"gradient start", [](CColoredStatic& c) { c.SetGradientFrom(RGB(3, 3, 3)); }, true},
      {"gradient end", [](CColoredStatic& c) { c.SetGradientTo(RGB(4, 4, 4)); }, true},
      {"text colour", [](CColoredStatic& c) { c.SetTextColor(RGB(5, 5, 5)); }, true},
      {"background colour", [](CColoredStatic& c) { c.SetBackgroundColor(RGB(6, 6, 6)); }, true},
      {"gradient switch", [](CColoredStatic& c) { c.SetGradient(!c.GetGradient()); }, false},
      {"transparency", [](CColoredStatic& c) { c.SetTransparent(1); }, false},
  };
  for (const Case& c : cases) {
    ::UpdateWindow(caption);
    ASSERT_FALSE(::GetUpdateRect(caption, nullptr, FALSE)) << c.what;
    c.change(caption);
    EXPECT_EQ(::GetUpdateRect(caption, nullptr, FALSE) != FALSE, c.repaints) << c.what;
  }
}

TEST_F(ColoredStaticTest, ReflectedColourMessageFollowsTheMode) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto ask = [&] {
    return reinterpret_cast<HBRUSH>(::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(caption.m_hWnd)));
  };
  caption.SetBackgroundColor(RGB(0, 0, 200));
  HBRUSH opaque = ask();
  EXPECT_NE(opaque, nullptr);
  EXPECT_NE(opaque, ::GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(::GetTextColor(dc), kTextColour);
  EXPECT_EQ(::GetBkColor(dc), RGB(0, 0, 200));
  EXPECT_EQ(::GetBkMode(dc), OPAQUE);

  caption.SetTransparent(1);
  EXPECT_EQ(ask(), ::GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);

  caption.SetGradient(1);
  ::UpdateWindow(caption);
  EXPECT_EQ(ask(), ::GetStockObject(HOLLOW_BRUSH));
  EXPECT_TRUE(::GetUpdateRect(caption, nullptr, FALSE)) << "the banner is painted again over the static";
  ::DeleteDC(dc);
}

}  // namespace
