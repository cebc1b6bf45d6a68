#include <doctest.h>

#include "platform/smooth_scale.h"

using namespace varnel;

TEST_CASE("the own scaling keeps a flat colour flat and averages what a target pixel covers") {
    const int width = 37, height = 23;
    std::vector<unsigned char> rows(width * height * 3);
    for (size_t i = 0; i < rows.size(); i += 3) {
        rows[i] = 200, rows[i + 1] = 3, rows[i + 2] = 129;
    }
    for (const auto& size : {std::pair{11, 7}, std::pair{20, 13}, std::pair{53, 41}, std::pair{37, 23}}) {
        const auto out = ScaleRows24(rows.data(), width * 3, width, height, size.first, size.second, 99, 99);
        REQUIRE(out.size() == static_cast<size_t>(size.first * size.second));
        for (uint32_t pixel : out) REQUIRE(pixel == 0x8103C8u);
    }
    // Two rows, the top one black and the bottom one white, stored bottom-up:
    // halved, every pixel is the grey between; the top of a stretch is black.
    std::vector<unsigned char> two(width * 2 * 3, 0);
    std::fill(two.begin(), two.begin() + width * 3, 255);
    const unsigned char* top = two.data() + width * 3;
    CHECK(ScaleRows24(top, -width * 3, width, 2, 5, 1, 5, 1)[2] == 0x808080u);
    CHECK(ScaleRows24(top, -width * 3, width, 2, 5, 8, 5, 8)[2] == 0x000000u);
    CHECK(ScaleRows24(top, -width * 3, width, 2, 5, 8, 5, 8)[37] == 0xFFFFFFu);
    // Enlarged, target row i reads source row i * scale, as the imaging service reads it.
    CHECK(ScaleRows24(top, -width * 3, width, 2, 5, 8, 5, 8)[12] == 0x808080u);
}
