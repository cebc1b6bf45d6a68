#include <doctest.h>

#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

namespace {
Component& C(int id) { return Ui<Component>(id); }

// Resizing raises the size-changed event as a user's drag would.
void ResizeWindow(int width, int height) {
    MainWindow().Resize(width, height);
    test::Pump(100);
}

struct RestoreWindow {
    ~RestoreWindow() {
        App().verticalCutCount = 0;
        App().horizontalCutCount = 0;
        ResizeWindow(1385, 861);
    }
};
}  // namespace

TEST_CASE("the working area follows the window's size") {
    test::StartedMainWindow();
    RestoreWindow restore;
    ResizeWindow(1300, 800);
    ResizeWindow(1385, 861);
    int panelWidth = C(画板1).Width();
    int panelHeight = C(画板1).Height();
    int groupLeft = C(分组框1).Left();
    CHECK(C(高级选择夹1).Width() == 1385 - 307 - 22);
    CHECK(C(高级选择夹1).Height() == 861 - 220);
    CHECK(C(列表框1).Height() == C(高级选择夹1).Height() - 56);
    CHECK(C(画板1).Left() == 124);
    CHECK(C(分组框1).Top() == 100);
    CHECK(C(分组框1).Height() == 404);
    CHECK(C(分组框2).Top() == 100 + 404 + 4);
    CHECK(C(标签2).Top() == C(分组框2).Top() + 212 + 4);
    CHECK(App().previewSize.width == panelWidth);
    CHECK(App().watermarkPosition.x == panelWidth / 3);
    CHECK(App().watermarkPosition.y == panelHeight / 2);

    ResizeWindow(1485, 961);
    CHECK(C(画板1).Width() == panelWidth + 100);
    CHECK(C(画板1).Height() == panelHeight + 100);
    CHECK(C(分组框1).Left() == groupLeft + 100);
    CHECK(C(分组框2).Left() == groupLeft + 100);
    CHECK(C(标签2).Left() == groupLeft + 100);
    CHECK(App().previewSize.height == panelHeight + 100);
}

TEST_CASE("guide lines are spaced over the resized preview") {
    test::StartedMainWindow();
    RestoreWindow restore;
    SUBCASE("three vertical guides over a 928-pixel preview") {
        App().verticalCutCount = 3;
        App().horizontalCutCount = 2;
        int top = C(分隔条11).Top();
        // 1388 wide leaves the preview 928 pixels wide at 124 in a page at 3.
        ResizeWindow(1388, 861);
        REQUIRE(C(画板1).Width() == 928);
        CHECK(C(分隔条1).Left() == 359);
        CHECK(C(分隔条2).Left() == 591);
        CHECK(C(分隔条3).Left() == 823);
        CHECK(C(分隔条3).Visible());
        CHECK(C(分隔条1).Top() == 168);
        CHECK(C(分隔条1).Width() == 2);
        CHECK(C(分隔条1).Height() == C(画板1).Height());
        CHECK(C(分隔条11).Top() == top);  // only one family per resize
    }
    SUBCASE("five horizontal guides at the sixths") {
        App().verticalCutCount = 0;
        App().horizontalCutCount = 5;
        ResizeWindow(1400, 900);
        int panelTop = C(高级选择夹1).Top() + C(画板1).Top();
        double sixth = C(画板1).Height() / 6.0;
        for (int k = 1; k <= 5; ++k) {
            CAPTURE(k);
            Component& bar = C(kHorizontalGuides[k - 1]);
            CHECK(bar.Top() == static_cast<int>(panelTop + sixth * k));
            CHECK(bar.Left() == C(画板1).Left() + 2);
            CHECK(bar.Width() == C(画板1).Width());
            CHECK(bar.Height() == 2);
        }
        CHECK(C(分隔条15).Visible());
    }
}
