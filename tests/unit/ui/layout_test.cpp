#include <gtest/gtest.h>

#include "ui/core/Layout.h"
#include "ui/core/ValueSyntax.h"

using namespace DuiLib;

namespace {

LayoutItem Fixed(int cx, int cy) {
  LayoutItem it;
  it.fixed = Size{cx, cy};
  return it;
}

LayoutItem FloatingFromPos(const wchar_t* pos) {
  FixedPlacement p = PlacementFromPos(ParseRect(pos));
  LayoutItem it;
  it.floating = true;
  it.fixed_pos = p.pos;
  it.fixed = p.size;
  return it;
}

}  // namespace

TEST(UiLayout, FloatingChildrenAnchorToTheirEdges) {
  const Rect parent{100, 50, 686, 413};  // 586 x 363
  LayoutItem ok = FloatingFromPos(L"103,122");
  ok.fixed = Size{60, 28};  // width and height written after pos
  EXPECT_EQ(PlaceFloating(parent, ok), (Rect{203, 172, 263, 200}));

  LayoutItem close = FloatingFromPos(L"-40,10,-10,30");
  EXPECT_EQ(close.fixed, (Size{30, 20}));
  EXPECT_EQ(PlaceFloating(parent, close), (Rect{646, 60, 676, 80}));  // right edge 10 px in

  LayoutItem bottom = FloatingFromPos(L"10,-30,40,-10");
  EXPECT_EQ(PlaceFloating(parent, bottom), (Rect{110, 383, 140, 403}));
}

TEST(UiLayout, VerticalSharesTheRestAmongFlexibleChildren) {
  const Rect area{0, 0, 200, 300};
  std::vector<LayoutItem> items = {Fixed(0, 100), Fixed(0, 0), Fixed(0, 0)};
  std::vector<Rect> r = LayoutVertical(area, area, items, 0);
  EXPECT_EQ(r[0], (Rect{0, 0, 200, 100}));
  EXPECT_EQ(r[1], (Rect{0, 100, 200, 200}));
  EXPECT_EQ(r[2], (Rect{0, 200, 200, 300}));
}

TEST(UiLayout, VerticalWithPaddingGapsHiddenFloatingAndLimits) {
  const Rect parent{10, 10, 230, 330};
  const Rect area{20, 20, 220, 320};  // inset 10
  LayoutItem padded = Fixed(0, 50);
  padded.padding = Rect{5, 6, 7, 8};
  LayoutItem hidden = Fixed(0, 999);
  hidden.visible = false;
  LayoutItem narrow = Fixed(80, 0);
  LayoutItem capped = Fixed(0, 0);
  capped.max_size = Size{9999, 40};
  LayoutItem floating = FloatingFromPos(L"1,2,11,12");
  std::vector<LayoutItem> items = {padded, hidden, narrow, floating, capped};
  std::vector<Rect> r = LayoutVertical(parent, area, items, 4);
  // Used: 50 + 6 + 8 + two gaps of 4 = 72; the two flexible children share 228: 114 each.
  EXPECT_EQ(r[0], (Rect{25, 26, 213, 76}));
  EXPECT_EQ(r[1], Rect{});
  EXPECT_EQ(r[2], (Rect{20, 88, 100, 202}));
  EXPECT_EQ(r[3], (Rect{11, 12, 21, 22}));  // floating: from the parent's corner, no gap
  EXPECT_EQ(r[4], (Rect{20, 206, 220, 246}));
}

TEST(UiLayout, HorizontalIsTheSameWithAxesExchanged) {
  const Rect area{0, 0, 301, 40};
  LayoutItem icon = Fixed(16, 16);
  icon.padding = Rect{4, 12, 0, 0};
  std::vector<LayoutItem> items = {icon, Fixed(0, 0), Fixed(0, 0)};
  std::vector<Rect> r = LayoutHorizontal(area, area, items, 2);
  // 301 - (16 + 4 + 2 * 2) = 277, shared as 138 each, the odd pixel dropped.
  EXPECT_EQ(r[0], (Rect{4, 12, 20, 28}));
  EXPECT_EQ(r[1], (Rect{22, 0, 160, 40}));
  EXPECT_EQ(r[2], (Rect{162, 0, 300, 40}));
}

TEST(UiLayout, OverfullLayoutsGiveFlexibleChildrenNothing) {
  const Rect area{0, 0, 100, 100};
  std::vector<Rect> r = LayoutVertical(area, area, {Fixed(0, 150), Fixed(0, 0)}, 0);
  EXPECT_EQ(r[1].Height(), 0);
  EXPECT_EQ(r[1].top, 150);
}

TEST(UiLayout, TabPageFillsTheAreaWithinItsLimits) {
  LayoutItem page;
  page.padding = Rect{1, 2, 3, 4};
  EXPECT_EQ(LayoutTabPage(Rect{0, 0, 100, 50}, page), (Rect{1, 2, 97, 46}));
  page.max_size = Size{20, 9999};
  EXPECT_EQ(LayoutTabPage(Rect{0, 0, 100, 50}, page), (Rect{1, 2, 21, 46}));
}

TEST(UiProgress, ValuesOutsideTheRangeOrUnchangedAreRejected) {
  const ProgressRange range{0, 100, 40};
  struct Case { int value; bool accepted; };
  const Case cases[] = {{150, false}, {-1, false}, {40, false}, {0, true}, {100, true}, {66, true}};
  for (const Case& c : cases) EXPECT_EQ(AcceptProgressValue(range, c.value), c.accepted) << c.value;
}

TEST(UiProgress, ForeImageModifierFillsFromTheStartEdge) {
  struct Case {
    const char* what;
    ProgressRange range;
    Size size;
    bool horizontal, stretch;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"a third, stretched", {0, 100, 33}, {582, 8}, true, true, L"dest='0,0,192,8'"},
      {"a third, cut", {0, 100, 33}, {582, 8}, true, false, L"dest='0,0,192,8' source='0,0,192,8'"},
      {"vertical fills from the bottom", {0, 100, 25}, {10, 200}, false, true, L"dest='0,150,10,200'"},
      {"empty", {0, 100, 0}, {582, 8}, true, true, L"dest='0,0,0,8'"},
      {"max not above min", {5, 5, 5}, {100, 8}, true, true, L"dest='0,0,0,8'"},
      {"value above max is held", {0, 10, 50}, {100, 8}, true, true, L"dest='0,0,100,8'"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProgressForeModifier(c.range, c.size, c.horizontal, c.stretch), c.expected) << c.what;
}
