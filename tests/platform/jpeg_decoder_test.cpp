#include <doctest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/bmp_format.h"
#include "platform/jpeg_decoder.h"
#include "platform/jpeg_encoder.h"
#include "tests/support/win_test.h"

using namespace varnel;

TEST_CASE("the own JPEG decoder gives back what was encoded and declines what it does not read") {
    // Red grows across, green down; blue stays.
    const int width = 45, height = 30;
    std::vector<unsigned char> rows(width * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = &rows[(y * width + x) * 3];
            pixel[0] = 60, pixel[1] = static_cast<unsigned char>(y * 8), pixel[2] = static_cast<unsigned char>(x * 5);
        }
    }
    const Bytes jpeg = EncodeJpeg(rows.data(), width, height, width * 3, 92);
    const Bytes bmp = DecodeJpegToBmp24(jpeg);
    BmpHeader header;
    REQUIRE(IsWholeBmp24(bmp, &header));
    CHECK(header.width == width);
    CHECK(header.height == height);
    int worst = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned p = test::BmpPixel(bmp, x, y);
            worst = std::max({worst, std::abs(static_cast<int>(p >> 16) - x * 5),
                              std::abs(static_cast<int>((p >> 8) & 0xFF) - y * 8), std::abs(static_cast<int>(p & 0xFF) - 60)});
        }
    }
    CHECK(worst <= 12);
    Bytes progressive = jpeg;
    for (size_t i = 0; i + 1 < progressive.size(); ++i) {
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xC0) progressive[i + 1] = 0xC2;
    }
    CHECK(DecodeJpegToBmp24(progressive).empty());
    // Cut short inside the coded blocks.
    CHECK(DecodeJpegToBmp24(Bytes(jpeg.begin(), jpeg.end() - 12)).empty());
}
