#include <doctest.h>

#include "graphics/objects/region.h"
#include "platform/handles.h"
#include "tests/objects/objects_helpers.h"

using namespace varnel;

TEST_CASE("infinite and empty regions") {
    test::TestGraphics graphics;
    Region region;
    REQUIRE(region.CreateInfinite());
    CHECK(region.IsInfinite(&graphics));
    CHECK_FALSE(region.IsEmpty(&graphics));
    REQUIRE(region.MakeEmpty());
    CHECK(region.IsEmpty(&graphics));
    CHECK_FALSE(region.IsInfinite(&graphics));
    REQUIRE(region.MakeInfinite());
    CHECK(region.IsInfinite(&graphics));
}

TEST_CASE("hit tests and bounds of a rectangle") {
    test::TestGraphics graphics;
    Region region;
    REQUIRE(region.CreateFromRectI(Gdiplus::Rect(0, 0, 10, 10)));
    CHECK(region.IsVisiblePointI(Gdiplus::Point(5, 5), &graphics));
    CHECK_FALSE(region.IsVisiblePointI(Gdiplus::Point(15, 5), &graphics));
    CHECK(region.IsVisiblePoint(Gdiplus::PointF(5.5f, 5.5f), nullptr));
    CHECK_FALSE(region.IsVisiblePoint(Gdiplus::PointF(-3.0f, 5.5f), nullptr));
    CHECK(region.IsVisibleRectI(Gdiplus::Rect(8, 8, 5, 5), &graphics));
    CHECK_FALSE(region.IsVisibleRect(Gdiplus::RectF(20, 20, 5, 5), &graphics));
    Gdiplus::Rect bounds = region.GetBoundsI(&graphics);
    CHECK(bounds.X == 0);
    CHECK(bounds.Width == 10);
    REQUIRE(region.TranslateI(5, 0));
    CHECK(region.GetBounds(&graphics).X == 5.0f);
    REQUIRE(region.Translate(-5.0f, 3.0f));
    CHECK(region.GetBounds(&graphics).Y == 3.0f);
    test::TestMatrix shift(0, -3.0f);
    REQUIRE(region.Transform(&shift));
    CHECK(region.GetBounds(&graphics).Y == 0.0f);

    Region empty;
    Gdiplus::RectF none = empty.GetBounds(&graphics);
    CHECK(none.Width == 0.0f);
    CHECK(lastStatus != Gdiplus::Ok);
}

TEST_CASE("combining regions") {
    test::TestGraphics graphics;
    Region region;
    REQUIRE(region.CreateFromRect(Gdiplus::RectF(0, 0, 10, 10)));
    // Without a mode the rectangle intersects.
    REQUIRE(region.CombineRect(Gdiplus::RectF(5, 5, 10, 10)));
    Gdiplus::Rect bounds = region.GetBoundsI(&graphics);
    CHECK(bounds.X == 5);
    CHECK(bounds.Width == 5);
    REQUIRE(region.CombineRectI(Gdiplus::Rect(20, 20, 5, 5), Gdiplus::CombineModeUnion));
    CHECK(region.GetBoundsI(&graphics).Width == 20);
    Region other;
    REQUIRE(other.CreateFromRectI(Gdiplus::Rect(0, 0, 12, 12)));
    REQUIRE(region.CombineRegion(other));
    CHECK(region.GetBoundsI(&graphics).Width == 5);  // (5, 5, 5, 5) is all that is left
    test::TestPath path(0, 0, 6, 6);
    REQUIRE(region.CombinePath(&path, Gdiplus::CombineModeExclude));
    CHECK_FALSE(region.IsVisiblePointI(Gdiplus::Point(5, 5), &graphics));
    CHECK(region.IsVisiblePointI(Gdiplus::Point(8, 8), &graphics));

    Region fromPath;
    REQUIRE(fromPath.CreateFromPath(&path));
    CHECK(fromPath.IsVisiblePointI(Gdiplus::Point(3, 3), &graphics));
    Region clone;
    REQUIRE(fromPath.CloneInto(clone));
    CHECK(clone.IsEqual(fromPath, &graphics));
}

TEST_CASE("region data round trip") {
    test::TestGraphics graphics;
    Region region;
    REQUIRE(region.CreateFromRectI(Gdiplus::Rect(0, 0, 10, 10)));
    REQUIRE(region.CombineRectI(Gdiplus::Rect(20, 0, 5, 5), Gdiplus::CombineModeUnion));
    uint32_t size = region.GetDataSize();
    REQUIRE(size > 0);
    uint32_t written = 0;
    Bytes data = region.GetData(static_cast<int32_t>(size), &written);
    CHECK(lastStatus == Gdiplus::Ok);
    CHECK(data.size() == size);
    CHECK(written == size);
    Region copy;
    REQUIRE(copy.CreateFromData(data, static_cast<int32_t>(data.size())));
    CHECK(copy.IsEqual(region, &graphics));
    REQUIRE(copy.CreateFromData(data));
    CHECK(copy.IsEqual(region, &graphics));

    // A count past the array is refused; cut or corrupt data fails cleanly.
    CHECK_FALSE(copy.CreateFromData(data, static_cast<int32_t>(data.size()) + 64));
    CHECK(lastStatus == kInvalidParameter);
    CHECK(copy.GetNativeHandle() == nullptr);
    CHECK_FALSE(copy.CreateFromData(Bytes(data.begin(), data.begin() + 12)));
    Bytes corrupt = data;
    for (size_t i = 8; i < corrupt.size(); ++i) corrupt[i] = 0xEE;
    CHECK_FALSE(copy.CreateFromData(corrupt));
    CHECK_FALSE(copy.CreateFromData(Bytes()));
    CHECK(region.GetData(-1).empty());
    CHECK(lastStatus == kInvalidParameter);
}

TEST_CASE("scans of a region") {
    test::TestMatrix identity;
    Region region;
    REQUIRE(region.CreateFromRectI(Gdiplus::Rect(2, 3, 10, 20)));
    CHECK(region.GetScansCount(&identity) == 1);
    std::vector<Gdiplus::Rect> scans = region.GetScansI(&identity);
    REQUIRE(scans.size() == 1);
    CHECK(scans[0].X == 2);
    CHECK(scans[0].Y == 3);
    CHECK(scans[0].Width == 10);
    CHECK(scans[0].Height == 20);
    std::vector<Gdiplus::RectF> floats = region.GetScans(&identity);
    REQUIRE(floats.size() == 1);
    CHECK(floats[0].Width == 10.0f);

    REQUIRE(region.CombineRectI(Gdiplus::Rect(2, 30, 4, 4), Gdiplus::CombineModeUnion));
    CHECK(region.GetScansI(&identity).size() == 2);
    Region empty;
    CHECK(empty.GetScansI(&identity).empty());
    CHECK(lastStatus != Gdiplus::Ok);
}

TEST_CASE("regions to and from GDI regions") {
    test::TestGraphics graphics;
    RegionHandle gdi(CreateRectRgn(1, 1, 5, 5));
    Region region;
    REQUIRE(region.CreateFromHrgn(gdi.handle()));
    CHECK(region.IsVisiblePointI(Gdiplus::Point(2, 2), &graphics));
    CHECK_FALSE(region.IsVisiblePointI(Gdiplus::Point(6, 6), &graphics));
    RegionHandle back(region.GetHrgn(&graphics));
    REQUIRE(back);
    CHECK(PtInRegion(back.handle(), 2, 2));
    CHECK_FALSE(PtInRegion(back.handle(), 6, 6));
}
