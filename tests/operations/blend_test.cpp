#include <doctest.h>

#include "app/operations/watermark_blend.h"
#include "app/operations/watermark_rendering.h"
#include "platform/bmp_image.h"
#include "tests/support/win_test.h"

using namespace varnel;

namespace {
Bytes Solid(int width, int height, unsigned rgb) {
    size_t stride = BmpStride24(width);
    Bytes rows(stride * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rows[stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 3];
            p[0] = static_cast<unsigned char>(rgb);
            p[1] = static_cast<unsigned char>(rgb >> 8);
            p[2] = static_cast<unsigned char>(rgb >> 16);
        }
    }
    return MakeBmp24(width, height, rows.data(), stride);
}

void SetPixel(Bytes& bmp, int x, int y, unsigned rgb) {
    BmpHeader h;
    REQUIRE(IsWholeBmp24(bmp, &h));
    size_t at = static_cast<size_t>(h.offBits) + h.stride * static_cast<size_t>(h.height - 1 - y) + x * 3;
    bmp[at] = static_cast<unsigned char>(rgb);
    bmp[at + 1] = static_cast<unsigned char>(rgb >> 8);
    bmp[at + 2] = static_cast<unsigned char>(rgb >> 16);
}

void Put32(Bytes& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i));
}
}  // namespace

TEST_CASE("the blend multiplies the mark into the picture") {
    Bytes base = Solid(7, 5, 0xC86432);  // (200, 100, 50)
    Bytes mark = Solid(2, 2, 0x808080);
    SetPixel(mark, 1, 0, 0xFFFFFF);
    SetPixel(mark, 0, 1, 0x000000);
    Bytes out = BlendPictureWatermark(base, mark, 2, 1);
    REQUIRE(out.size() == base.size());
    CHECK(test::BmpPixel(out, 2, 1) == 0x643219);  // (100, 50, 25)
    CHECK(test::BmpPixel(out, 3, 1) == 0xC86432);  // white leaves the picture
    CHECK(test::BmpPixel(out, 2, 2) == 0x000000);  // black blacks
    CHECK(test::BmpPixel(out, 3, 2) == 0x643219);
    CHECK(test::BmpPixel(out, 1, 1) == 0xC86432);
    CHECK(test::BmpPixel(out, 4, 1) == 0xC86432);
    CHECK(test::BmpPixel(out, 2, 3) == 0xC86432);
    CHECK(test::BmpPixel(base, 2, 1) == 0xC86432);  // the base itself is untouched
}

TEST_CASE("the mark is cut at the picture's edges") {
    Bytes base = Solid(6, 4, 0xFFFFFF);
    Bytes mark = Solid(3, 3, 0x000000);
    SUBCASE("overhanging the right and bottom edges") {
        Bytes out = BlendPictureWatermark(base, mark, 4, 2);
        CHECK(test::BmpPixel(out, 4, 2) == 0);
        CHECK(test::BmpPixel(out, 5, 3) == 0);
        CHECK(test::BmpPixel(out, 3, 3) == 0xFFFFFF);
    }
    SUBCASE("a negative place moves to the corner") {
        Bytes out = BlendPictureWatermark(base, mark, -5, -2);
        CHECK(test::BmpPixel(out, 0, 0) == 0);
        CHECK(test::BmpPixel(out, 2, 2) == 0);
        CHECK(test::BmpPixel(out, 3, 0) == 0xFFFFFF);
        CHECK(test::BmpPixel(out, 0, 3) == 0xFFFFFF);
    }
    SUBCASE("a mark larger than the picture covers it exactly") {
        Bytes out = BlendPictureWatermark(Solid(2, 2, 0xFFFFFF), Solid(9, 9, 0x000000), 0, 0);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) CHECK(test::BmpPixel(out, x, y) == 0);
        }
    }
    SUBCASE("a place beyond the picture changes nothing") {
        CHECK(BlendPictureWatermark(base, mark, 6, 0) == base);
        CHECK(BlendPictureWatermark(base, mark, 0, 40) == base);
    }
}

TEST_CASE("pictures that are not whole 24-bit images give the empty result") {
    Bytes base = Solid(6, 4, 0xFFFFFF);
    Bytes mark = Solid(3, 3, 0x000000);
    Bytes lying = base;
    SUBCASE("a header that claims more pixels than the array holds") { Put32(lying, 22, 4000); }
    SUBCASE("a zero width") { Put32(lying, 18, 0); }
    SUBCASE("a negative height") { Put32(lying, 22, -4); }
    SUBCASE("pixels said to start past the end") {
        lying[10] = 0xFF;
        lying[11] = 0x7F;
    }
    SUBCASE("another bit depth") { lying[28] = 32; }
    SUBCASE("a truncated file") { lying.resize(60); }
    CHECK(BlendPictureWatermark(lying, mark, 0, 0).empty());
    CHECK(BlendPictureWatermark(mark, lying, 0, 0).empty());
    CHECK(BlendPictureWatermark(Bytes(), mark, 0, 0).empty());
}

TEST_CASE("colours become ARGB") {
    CHECK(static_cast<uint32_t>(MakeArgb(RGB(0x12, 0x34, 0x56), 0x80, true)) == 0x80123456u);
    CHECK(static_cast<uint32_t>(MakeArgb(RGB(0x12, 0x34, 0x56), 0x80, false)) == 0xFF123456u);
    CHECK(static_cast<uint32_t>(MakeArgb(RGB(255, 0, 0), -1, true)) == 0xFFFF0000u);
    CHECK(static_cast<uint32_t>(MakeArgb(RGB(255, 0, 0), 0x1B4, true)) == 0xB4FF0000u);
}
