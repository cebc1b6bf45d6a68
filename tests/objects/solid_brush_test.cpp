#include <doctest.h>

#include "graphics/objects/solid_brush.h"

using namespace varnel;

namespace {
class CountingBrush : public SolidBrush {
public:
    bool Delete() override {
        if (GetNativeHandle()) ++deletedHeld;
        return SolidBrush::Delete();
    }
    int deletedHeld = 0;
};
}  // namespace

TEST_CASE("a solid brush keeps its colour, alpha included") {
    SolidBrush brush;
    for (uint32_t colour : {0x80FF0000u, 0x00000000u, 0xFFFFFFFFu, 0x12345678u}) {
        REQUIRE(brush.Create(colour));
        CHECK(brush.GetColor() == colour);
        CHECK(brush.GetType() == Gdiplus::BrushTypeSolidColor);
    }
    REQUIRE(brush.SetColor(0x7F00FF00u));
    CHECK(brush.GetColor() == 0x7F00FF00u);

    SolidBrush target;
    REQUIRE(brush.CloneInto(target));
    CHECK(target.GetColor() == 0x7F00FF00u);
    REQUIRE(target.SetColor(0xFF0000FFu));
    CHECK(brush.GetColor() == 0x7F00FF00u);
}

TEST_CASE("creating a brush again deletes the one before") {
    CountingBrush brush;
    REQUIRE(brush.Create(0xFF000000u));
    CHECK(brush.deletedHeld == 0);
    REQUIRE(brush.Create(0xFF00FF00u));
    CHECK(brush.deletedHeld == 1);
    CHECK(brush.Delete());
    CHECK(brush.deletedHeld == 2);
    CHECK_FALSE(brush.Delete());
    CHECK(brush.deletedHeld == 2);
}

