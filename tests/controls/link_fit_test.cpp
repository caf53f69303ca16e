#include <gtest/gtest.h>

#include "controls/link_fit.h"

namespace {

TEST(FitLinkRect, KeepsTheAnchorOfEachAlignment) {
  const RECT rect{10, 20, 210, 50};  // 200 x 30
  struct Case {
    const char* what;
    LONG style;
    SIZE border;
    SIZE text;
    RECT fitted;
  };
  const Case cases[] = {
      {"left keeps left and top", SS_LEFT, {0, 0}, {80, 13}, {10, 20, 90, 33}},
      {"border added", SS_LEFT, {2, 4}, {80, 13}, {10, 20, 92, 37}},
      {"right keeps right", SS_RIGHT, {0, 0}, {80, 13}, {130, 20, 210, 33}},
      {"centre keeps centre", SS_CENTER, {0, 0}, {80, 13}, {70, 20, 150, 33}},
      {"centre, odd difference truncated", SS_CENTER, {0, 0}, {81, 13}, {69, 20, 151, 33}},
      {"centre image keeps middle", SS_LEFT | SS_CENTERIMAGE, {0, 0}, {80, 14}, {10, 28, 90, 42}},
      {"centre image, odd difference", SS_LEFT | SS_CENTERIMAGE, {0, 0}, {80, 13}, {10, 28, 90, 42}},
      {"text wider than control grows it", SS_LEFT, {0, 0}, {250, 13}, {10, 20, 260, 33}},
      {"wider centred grows both ways", SS_CENTER, {0, 0}, {250, 13}, {-15, 20, 235, 33}},
      {"simple static is left-aligned", SS_SIMPLE, {0, 0}, {80, 13}, {10, 20, 90, 33}},
      {"no-wrap static is left-aligned", SS_LEFTNOWORDWRAP, {0, 0}, {80, 13}, {10, 20, 90, 33}},
      {"other style bits do not move it", SS_RIGHT | SS_NOTIFY | WS_CHILD | WS_VISIBLE, {0, 0}, {80, 13},
       {130, 20, 210, 33}},
  };
  for (const Case& c : cases) {
    const RECT fitted = FitLinkRect(rect, c.border, c.text, c.style);
    EXPECT_EQ(fitted.left, c.fitted.left) << c.what;
    EXPECT_EQ(fitted.top, c.fitted.top) << c.what;
    EXPECT_EQ(fitted.right, c.fitted.right) << c.what;
    EXPECT_EQ(fitted.bottom, c.fitted.bottom) << c.what;
  }
}

}  // namespace
