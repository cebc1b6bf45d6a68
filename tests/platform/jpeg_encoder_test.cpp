// The program's own JPEG encoder: what it writes reads back as what it was given.
#include <doctest.h>

#include <cstdlib>

#include "platform/bmp_image.h"
#include "platform/jpeg_encoder.h"
#include "tests/support/win_test.h"

using namespace varnel;

TEST_CASE("a JPEG of a grainy picture reads back close to it, the 0xFF bytes of its data stuffed") {
    // Sizes that end inside a block; grain that codes to many 0xFF bytes.
    const int width = 61, height = 37;
    Bytes rows(static_cast<size_t>(width) * 3 * height);
    unsigned seed = 7;
    for (size_t i = 0; i < rows.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        rows[i] = static_cast<unsigned char>(i / 3 % width * 2 + i / 3 / width * 3 + (seed >> 28));
    }
    const Bytes jpeg = EncodeJpeg(rows.data(), width, height, width * 3, 92);
    int stuffed = 0;
    for (size_t i = 2; i + 3 < jpeg.size(); ++i) stuffed += jpeg[i] == 0xFF && jpeg[i + 1] == 0;
    CHECK(stuffed > 0);
    const Bytes back = DecodePictureToBmp24(jpeg);
    REQUIRE(!back.empty());
    long error = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned pixel = test::BmpPixel(back, x, y);
            const unsigned char* given = rows.data() + (static_cast<size_t>(y) * width + x) * 3;
            for (int k = 0; k < 3; ++k) error += std::abs(static_cast<int>(pixel >> (8 * k) & 0xFF) - given[k]);
        }
    }
    // On average within 4 levels of the given sample.
    CHECK(error < 4L * width * height * 3);
}
