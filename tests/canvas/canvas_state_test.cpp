#include <doctest.h>

#include "graphics/canvas/canvas.h"
#include "graphics/canvas/imaging_objects.h"
#include "tests/support/canvas_fixtures.h"

using namespace varnel;
using varnel::test::CanvasWindow;

namespace {
const Gdiplus::ARGB kOpaqueRed = 0xFFFF0000;

struct StateFixture {
    StateFixture() : window(600, 400, 200, 200) {
        REQUIRE(canvas.CreateForWindow(window.get()));
        REQUIRE(canvas.GraphicsClear());
    }
    CanvasWindow window;
    Canvas canvas;
};
}  // namespace

TEST_CASE("state calls on a canvas that was never created fail with the platform's status") {
    Canvas blank;
    lastStatus = 0;
    CHECK_FALSE(blank.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias));
    CHECK(lastStatus == Gdiplus::InvalidParameter);
    lastStatus = 0;
    CHECK(blank.GetPageScale() == 0.0f);
    CHECK(lastStatus == Gdiplus::InvalidParameter);
    CHECK_FALSE(blank.FillRectangle(test::MakeSolidBrush(kOpaqueRed), 0, 0, 1, 1));
}

TEST_CASE_FIXTURE(StateFixture, "modes and hints read back as they were set") {
    CHECK(canvas.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias));
    CHECK(canvas.GetSmoothingMode() == Gdiplus::SmoothingModeAntiAlias);
    CHECK(canvas.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor));
    CHECK(canvas.GetInterpolationMode() == Gdiplus::InterpolationModeNearestNeighbor);
    CHECK(canvas.SetPageScale(2.0f));
    CHECK(canvas.GetPageScale() == 2.0f);
    CHECK(canvas.GetDpiX() > 0);

    int x = -1, y = -1;
    CHECK(canvas.SetRenderingOrigin(3, 4));
    CHECK(canvas.GetRenderingOrigin(x, y));
    CHECK(x == 3);
    CHECK(y == 4);
}

TEST_CASE_FIXTURE(StateFixture, "the world transform: rotation, its matrix, and where drawing lands") {
    Matrix matrix;
    REQUIRE(matrix.Create());
    REQUIRE(canvas.RotateWorldTransform(90));
    REQUIRE(canvas.GetWorldTransform(matrix));
    const auto rotated = matrix.GetElements();
    CHECK(rotated[0] == doctest::Approx(0).epsilon(0.001));
    CHECK(rotated[1] == doctest::Approx(1));
    CHECK(rotated[2] == doctest::Approx(-1));
    CHECK(rotated[3] == doctest::Approx(0).epsilon(0.001));

    PointFArray points{Gdiplus::PointF(10, 0)};
    REQUIRE(canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, points));
    CHECK(points[0].X == doctest::Approx(0).epsilon(0.001));
    CHECK(points[0].Y == doctest::Approx(10));
    PointArray whole{Gdiplus::Point(0, 10)};
    REQUIRE(canvas.TransformPointsI(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, whole));
    CHECK(whole[0].X == -10);

    REQUIRE(canvas.ResetWorldTransform());
    REQUIRE(canvas.TranslateWorldTransform(100, 50));
    REQUIRE(canvas.ScaleWorldTransform(2, 2));  // prepended: scale first, then move
    const auto brush = test::MakeSolidBrush(kOpaqueRed);
    REQUIRE(canvas.FillRectangle(brush, 0, 0, 10, 10));
    CHECK(canvas.GetPixel(105, 55) == RGB(255, 0, 0));
    CHECK(canvas.GetPixel(118, 68) == RGB(255, 0, 0));
    CHECK(canvas.GetPixel(5, 5) == RGB(255, 255, 255));
    CHECK(canvas.GetPixel(125, 75) == RGB(255, 255, 255));

    Matrix shift;
    REQUIRE(shift.CreateFromElements(1, 0, 0, 1, 0, 100));
    REQUIRE(canvas.SetWorldTransform(shift));
    REQUIRE(canvas.MultiplyWorldTransform(shift, Gdiplus::MatrixOrderAppend));
    REQUIRE(canvas.FillRectangle(brush, 0, 0, 10, 10));
    CHECK(canvas.GetPixel(5, 105) == RGB(255, 255, 255));  // moved twice: beyond the canvas
    CHECK(canvas.GetPixel(5, 5) == RGB(255, 255, 255));
    REQUIRE(canvas.SetWorldTransform(shift));
    REQUIRE(canvas.FillRectangle(brush, 0, 0, 10, 10));
    CHECK(canvas.GetPixel(5, 105) == RGB(255, 0, 0));
}

TEST_CASE_FIXTURE(StateFixture, "an empty point array goes to the platform with count 0") {
    PointFArray none;
    canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, none);
    CHECK(lastStatus == Gdiplus::InvalidParameter);
    CHECK(none.empty());
}
