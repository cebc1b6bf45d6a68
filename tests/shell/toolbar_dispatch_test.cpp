#include <doctest.h>

#include "tests/shell/shell_fixture.h"

using namespace varnel;
using namespace ui;

TEST_CASE("a toolbar click runs the command of its id, once") {
    test::StartedMainWindow();
    AppState& app = App();
    Toolbar& toolbar = Ui<Toolbar>(工具条1);
    // Buttons doing what a menu item does carry its id; the rest have their own.
    const int commands[] = {kToolOpenPicture, kMenuSave,       kToolAddText,      kMenuAddPicture,  kMenuSplit,
                            kToolBatchSplit,  kToolBatchText, kToolBatchPicture, kToolVerticalCut, kToolHorizontalCut};
    REQUIRE(toolbar.ButtonCount() == 10);
    for (int i = 0; i < 10; ++i) CHECK(toolbar.ButtonCommand(i) == commands[i]);
    app.verticalCutCount = 0;
    app.horizontalCutCount = 0;
    for (ui::Id bar : kVerticalGuides) Ui<Component>(bar).SetVisible(false);
    for (ui::Id bar : kHorizontalGuides) Ui<Component>(bar).SetVisible(false);
    int vertical = 0;
    int horizontal = 0;

    toolbar.ClickButton(8);  // 多线横割
    test::Pump(50);
    CHECK(app.verticalCutCount == vertical + 1);
    CHECK(app.horizontalCutCount == horizontal);
    CHECK(Ui<Component>(分隔条1).Visible());

    toolbar.ClickButton(9);  // 多线纵割
    test::Pump(50);
    CHECK(app.verticalCutCount == vertical + 1);
    CHECK(app.horizontalCutCount == horizontal + 1);
    CHECK(Ui<Component>(分隔条11).Visible());

    SUBCASE("a sixth cut line changes nothing") {
        for (int i = 0; i < 6; ++i) toolbar.ClickButton(8);
        test::Pump(50);
        CHECK(app.verticalCutCount == 5);
        int left = Ui<Component>(分隔条5).Left();
        toolbar.ClickButton(8);
        CHECK(app.verticalCutCount == 5);
        CHECK(Ui<Component>(分隔条5).Left() == left);
    }
    SUBCASE("the about box leaves the state unchanged") {
        WatermarkMode before = app.watermarkMode;
        test::DialogAnswerer close([](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        PostMessageA(MainWindow().Handle(), WM_COMMAND, kMenuAbout, 0);
        test::Pump(1500);
        CHECK(close.Answered());
        CHECK(app.watermarkMode == before);
    }
}

TEST_CASE("guide lines move when dragged and vanish on a double-click") {
    test::StartedMainWindow();
    Component& vertical = Ui<Component>(分隔条1);
    vertical.SetVisible(true);
    HWND bar = vertical.Handle();
    int left = vertical.Left();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41, 10));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(41, 10));
    CHECK(vertical.Left() == left + 40);

    Component& horizontal = Ui<Component>(分隔条12);
    horizontal.SetVisible(true);
    int top = horizontal.Top();
    SendMessageA(horizontal.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 1));
    SendMessageA(horizontal.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, -29));
    SendMessageA(horizontal.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, -29));
    CHECK(horizontal.Top() == top - 30);

    SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 10));
    CHECK_FALSE(vertical.Visible());
}
