#include <doctest.h>

#include "graphics/canvas/canvas.h"
#include "tests/support/canvas_fixtures.h"

using namespace varnel;
using varnel::test::CanvasWindow;

namespace {
const char* const kPenSelectFailed = "选入画笔失败(SelectObject()返回0)请检查画笔是否已创建";
const char* const kBrushSelectFailed = "选入刷子失败(SelectObject()返回0)请检查刷子是否已创建";
const char* const kBezierRule =
    "画多条贝塞尔曲线 的第一个参数 点集合 点 数组类型 中的第一个点指定了起点。剩下的点三个一组——包括两个控件点和一个终点，"
    "必须符合规范，除去一个，必能与3整除！";

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

struct ClassicFixture {
    ClassicFixture() : window(400, 20, 200, 150) {
        REQUIRE(canvas.CreateForWindow(window.get()));
        REQUIRE(redPen.Create(PS_SOLID, 1, kRed));
        REQUIRE(blueBrush.CreateSolid(kBlue));
        Fill(kWhite);
    }
    void Fill(COLORREF color) {
        GdiBrush brush;
        REQUIRE(brush.CreateSolid(color));
        RECT all{0, 0, 200, 150};
        FillRect(canvas.GetMemoryDc(), &all, brush.GetBrushHandle());
    }
    COLORREF At(int x, int y) const { return canvas.GetPixel(x, y); }

    CanvasWindow window;
    Canvas canvas;
    GdiPen redPen;
    GdiBrush blueBrush;
};
}  // namespace

TEST_CASE_FIXTURE(ClassicFixture, "shapes are outlined with the pen or filled with the brush") {
    REQUIRE(canvas.GdiDrawRectangle(redPen, 10, 10, 40, 30));
    CHECK(At(10, 10) == kRed);
    CHECK(At(49, 39) == kRed);
    CHECK(At(30, 25) == kWhite);  // the hollow brush leaves the inside
    CHECK(At(50, 40) == kWhite);

    REQUIRE(canvas.GdiFillRectangle(blueBrush, 100, 10, 40, 30));
    CHECK(At(100, 10) == kBlue);
    CHECK(At(120, 25) == kBlue);
    CHECK(At(99, 9) == kWhite);

    REQUIRE(canvas.GdiFillEllipse(blueBrush, 10, 60, 60, 40));
    CHECK(At(40, 80) == kBlue);
    CHECK(At(11, 61) == kWhite);

    // From straight up (0) counter-clockwise to straight down (180): the left half.
    REQUIRE(canvas.GdiFillPie(blueBrush, 100, 60, 80, 80, 0, 180));
    CHECK(At(120, 100) == kBlue);
    CHECK(At(160, 100) == kWhite);
}

TEST_CASE_FIXTURE(ClassicFixture, "an arc from 0 to 180 degrees is the left half, top to bottom") {
    REQUIRE(canvas.GdiDrawArc(redPen, 20, 20, 100, 100, 0, 180));
    CHECK(At(20, 70) == kRed);    // leftmost point
    CHECK(At(119, 70) == kWhite);  // rightmost point is not on it
    CHECK(At(70, 70) == kWhite);  // no radials, no fill
    REQUIRE(canvas.GdiDrawArcPoints(redPen, 20, 20, 120, 120, 70, 120, 70, 20));
    CHECK(At(119, 70) == kRed);
}

TEST_CASE_FIXTURE(ClassicFixture, "lines and polygons") {
    REQUIRE(canvas.GdiDrawLine(redPen, 10, 5, 100, 5));
    CHECK(At(10, 5) == kRed);
    CHECK(At(99, 5) == kRed);
    CHECK(At(50, 6) == kWhite);

    const GdiPointArray triangle{{100, 20}, {180, 20}, {140, 80}};
    REQUIRE(canvas.GdiFillPolygon(blueBrush, triangle));
    CHECK(At(140, 40) == kBlue);
    REQUIRE(canvas.GdiDrawPolygon(redPen, triangle));
    CHECK(At(140, 20) == kRed);
    CHECK(At(140, 40) == kBlue);

    // A count beyond the points is refused rather than read past.
    const std::string before = errorText();
    CHECK_FALSE(canvas.GdiDrawPolyline(redPen, triangle, 4));
    CHECK(errorText().size() > before.size());
}

TEST_CASE_FIXTURE(ClassicFixture, "Bézier chains take one point and then threes") {
    const GdiPointArray four{{10, 100}, {40, 40}, {80, 40}, {110, 100}};
    REQUIRE(canvas.GdiDrawBeziers(redPen, four));
    CHECK(At(10, 100) == kRed);
    CHECK(canvas.GdiDrawBeziers(redPen, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}}));

    Fill(kWhite);
    const std::string before = errorText();
    CHECK_FALSE(canvas.GdiDrawBeziers(redPen, {{10, 100}, {40, 40}, {80, 40}, {110, 100}, {150, 100}}));
    CHECK(errorText() == before + kBezierRule);
    CHECK(At(10, 100) == kWhite);
    // A count of four out of five points is a valid chain.
    CHECK(canvas.GdiDrawBeziers(redPen, {{10, 100}, {40, 40}, {80, 40}, {110, 100}, {150, 100}}, 4));
}

TEST_CASE_FIXTURE(ClassicFixture, "tools that were never created record their selection texts") {
    GdiPen nothing;
    GdiBrush none;
    const std::string before = errorText();
    CHECK_FALSE(canvas.GdiDrawRectangle(nothing, 0, 0, 10, 10));
    CHECK_FALSE(canvas.GdiFillEllipse(none, 0, 0, 10, 10));
    CHECK(errorText() == before + kPenSelectFailed + kBrushSelectFailed);
    // The DC still has its own objects: a later shape draws normally.
    CHECK(canvas.GdiFillRectangle(blueBrush, 0, 0, 10, 10));
    CHECK(At(5, 5) == kBlue);
}

TEST_CASE_FIXTURE(ClassicFixture, "gradients blend between the two vertices in the given direction") {
    const std::vector<GdiVertex> vertices{{0, 0, 255, 0, 0, 0}, {100, 50, 0, 0, 255, 0}};
    REQUIRE(canvas.GdiGradientFill(vertices, GRADIENT_FILL_RECT_H));
    CHECK(test::RedOf(At(1, 25)) > 240);
    CHECK(test::BlueOf(At(98, 25)) > 240);
    CHECK(test::RedOf(At(50, 10)) > 100);
    CHECK(test::BlueOf(At(50, 10)) > 100);
    CHECK(At(1, 1) == At(1, 48));  // constant down a column
    CHECK(At(150, 25) == kWhite);

    REQUIRE(canvas.GdiGradientFill(vertices, GRADIENT_FILL_RECT_V));
    CHECK(test::RedOf(At(50, 1)) > 240);
    CHECK(test::BlueOf(At(50, 48)) > 240);
    CHECK(At(1, 10) == At(98, 10));  // constant along a row

    CHECK_FALSE(canvas.GdiGradientFill({{0, 0, 255, 0, 0, 0}}, GRADIENT_FILL_RECT_H));
}

TEST_CASE_FIXTURE(ClassicFixture, "regions, inverted rectangles and paths") {
    GdiRegion region;
    REQUIRE(region.CreateRect(10, 10, 50, 50));
    REQUIRE(canvas.GdiFillRegion(blueBrush, region));
    CHECK(At(30, 30) == kBlue);

    REQUIRE(canvas.GdiInvertRect(100, 10, 20, 20));
    CHECK(At(110, 20) == RGB(0, 0, 0));
    CHECK(At(125, 20) == kWhite);

    REQUIRE(canvas.GdiBeginPath());
    REQUIRE(canvas.GdiDrawRectangle(redPen, 100, 60, 40, 40));
    REQUIRE(canvas.GdiEndPath());
    REQUIRE(canvas.GdiFillPath(blueBrush));
    CHECK(At(120, 80) == kBlue);

    // Without a path there is nothing to fill.
    const std::string before = errorText();
    CHECK_FALSE(canvas.GdiFillPath(blueBrush));
    CHECK(errorText() == before + "填充路径失败(FillPath()返回0)请检查路径是否已启动");
}

TEST_CASE_FIXTURE(ClassicFixture, "GDI text is transparent without a background and boxed with one") {
    GdiFontSpec font;
    font.height = 24;
    font.weight = FW_BOLD;
    font.color = kRed;
    font.faceName = "Tahoma";
    RECT box{10, 10, 190, 60};
    REQUIRE(canvas.GdiDrawText(font, std::nullopt, "HHHH", box, DT_LEFT | DT_TOP | DT_SINGLELINE));
    int inked = 0, blue = 0;
    for (int y = 10; y < 40; ++y) {
        for (int x = 10; x < 100; ++x) {
            if (At(x, y) != kWhite) ++inked;
            if (At(x, y) == kBlue) ++blue;
        }
    }
    CHECK(inked > 30);
    CHECK(blue == 0);
    CHECK(At(189, 59) == kWhite);

    RECT boxed{10, 80, 190, 140};
    REQUIRE(canvas.GdiDrawText(font, kBlue, "HHHH", boxed, DT_LEFT | DT_TOP | DT_SINGLELINE));
    for (int x = 10; x < 30; ++x) {
        if (At(x, 81) == kBlue) ++blue;
    }
    CHECK(blue > 10);  // the text cell is filled with the background
}

TEST_CASE_FIXTURE(ClassicFixture, "shadowed GDI text draws the text and its shadow") {
    GdiFontSpec font;
    font.height = 30;
    font.weight = FW_BOLD;
    font.color = kRed;
    font.faceName = "Tahoma";
    RECT box{10, 10, 190, 80};
    REQUIRE(canvas.GdiDrawShadowText(font, std::nullopt, "HHH", box, kBlue, 4, 4, DT_LEFT | DT_TOP | DT_SINGLELINE));
    int red = 0, blue = 0;
    for (int y = 10; y < 60; ++y) {
        for (int x = 10; x < 120; ++x) {
            if (At(x, y) == kRed) ++red;
            if (At(x, y) == kBlue) ++blue;
        }
    }
    CHECK(red > 20);
    CHECK(blue > 20);
}
