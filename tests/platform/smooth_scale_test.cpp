#include <doctest.h>

#include "platform/smooth_scale.h"
#include "platform/smooth_scale_kernels.h"

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

TEST_CASE("scaling again only what changed, or sharing the rows left, gives what scaling the whole picture gives") {
    const int width = 301, height = 203;
    std::vector<unsigned char> rows(width * height * 3);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<unsigned char>(i * 7919 % 251);
    std::vector<uint32_t> scaled = ScaleRows24(rows.data(), width * 3, width, height, 173, 117, 170, 117);
    for (int y = 40; y < 61; ++y) {
        for (int x = 3 * 50; x < 3 * 81; ++x) rows[y * width * 3 + x] ^= 0x5A;
    }
    REQUIRE(RescaleChanged(rows.data(), width * 3, width, height, 173, 117, 170, 117, RECT{50, 40, 81, 61}, scaled));
    CHECK(scaled == ScaleRows24(rows.data(), width * 3, width, height, 173, 117, 170, 117));
    // Work run ahead shares the rows it has left once it is waited for: already at the first.
    const std::atomic<bool> awaited{true};
    CHECK(ScaleRows24(rows.data(), width * 3, width, height, 800, 500, 800, 500, CoreShare(awaited)) ==
          ScaleRows24(rows.data(), width * 3, width, height, 800, 500, 800, 500, Cores::One));
}

TEST_CASE("the vector kernels of the scaling give what the plain ones give") {
    if (&ChooseScaleKernels() == &ScaleKernelsPlain()) return;  // no AVX2 here
    const ScaleKernels &plain = ScaleKernelsPlain(), &fast = ScaleKernelsAvx2();
    std::vector<unsigned char> row(3 * 64);
    std::vector<int> first(41);
    std::vector<int16_t> weights(41 * 16);
    std::vector<uint16_t> lines[2] = {std::vector<uint16_t>(123), std::vector<uint16_t>(123)};
    std::vector<uint32_t> sums[2] = {std::vector<uint32_t>(123), std::vector<uint32_t>(123)}, allSums[2];
    std::vector<uint32_t> packed[2] = {std::vector<uint32_t>(41), std::vector<uint32_t>(41)};
    std::vector<unsigned char> packed24[2] = {std::vector<unsigned char>(123), std::vector<unsigned char>(123)};
    for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<unsigned char>(i * 37 + 11);
    // (w0, w1) three times, two zeros, (w2, w3) three times, two zeros: each at most a quarter.
    for (size_t i = 0; i < weights.size(); ++i) {
        weights[i] = i % 8 < 6 ? static_cast<int16_t>((i / 8 * 2 + i % 2) * 7919 % 4097) : 0;
    }
    for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<int>(i * 5 % 58);
    for (int k = 0; k < 2; ++k) {
        const ScaleKernels& kernels = k ? fast : plain;
        kernels.acrossFourTaps(row.data(), first.data(), weights.data(), 1, 40, lines[k].data());
        const uint16_t* line = lines[k].data();
        const uint16_t* read[5] = {line, line + 1, line + 2, line, line + 3};
        const uint32_t readWeights[5] = {16383, 9000, 4000, 1, 77};
        for (int count = 2; count <= 5; ++count) {
            kernels.sumDown(read, readWeights, count, sums[k].data(), 2, 118);
            allSums[k].insert(allSums[k].end(), sums[k].begin(), sums[k].end());
        }
        kernels.pack(sums[k].data(), packed[k].data(), 1, 40);
        kernels.pack24(sums[k].data(), packed24[k].data(), 1, 40);
    }
    for (int x = 1; x < 40; ++x) REQUIRE((packed[0][x] >> 16 & 0xFF) == packed24[0][3 * x + 2]);
    CHECK(lines[0] == lines[1]);
    CHECK(allSums[0] == allSums[1]);
    CHECK(packed[0] == packed[1]);
    CHECK(packed24[0] == packed24[1]);
}
