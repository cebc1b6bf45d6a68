#include "app/operations/watermark_blend.h"

#include <algorithm>
#include <cstdlib>

#include "platform/bmp_format.h"

namespace varnel {

// Works on the file images in place, row by row from the end of the pixel
// data, without any bitmap objects. Headers are trusted only as far as the
// arrays reach: a header that claims more pixels than its array holds gives
// the empty result.
Bytes BlendPictureWatermark(const Bytes& base, const Bytes& mark, int x, int y) {
    BmpHeader b, m;
    if (!IsWholeBmp24(base, &b) || !IsWholeBmp24(mark, &m)) return {};
    const long long W = b.width, H = b.height;
    long long w = m.width, h = m.height;
    const long long stride = static_cast<long long>(b.stride), markStride = static_cast<long long>(m.stride);
    const long long end = b.offBits + stride * H;
    const long long markEnd = m.offBits + markStride * h;

    long long px = x < 0 ? 0 : x;
    long long py = y < 0 ? 0 : y;
    h = std::min(h, H);
    w = std::min(w, W);
    if (W - px - w < 0) w = W - px;
    if (H - py - h < 0) h = H - py;

    Bytes result = base;
    for (long long r = 1; r <= h; ++r) {
        long long d = end - (py + r) * stride + 3 * px;
        long long s = markEnd - r * markStride;
        for (long long c = 1; c <= w; ++c, d += 3, s += 3) {
            const unsigned char* source = &mark[static_cast<size_t>(s)];
            if (source[0] == 0xFF && source[1] == 0xFF && source[2] == 0xFF) continue;  // white is no mark
            unsigned char* target = &result[static_cast<size_t>(d)];
            for (int k = 0; k < 3; ++k) target[k] = static_cast<unsigned char>(source[k] * target[k] / 255.0);
        }
    }
    return result;
}

bool MultiplyMarkInto(unsigned char* rows, int width, int height, int stride, int bytesPerPixel, const Bytes& mark,
                      int x, int y) {
    BmpHeader m;
    if (!rows || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) ||
        std::abs(static_cast<long long>(stride)) < static_cast<long long>(width) * bytesPerPixel ||
        !IsWholeBmp24(mark, &m)) {
        return false;
    }
    // Placed and clipped as the file-image blend places and clips it.
    const long long px = x < 0 ? 0 : x, py = y < 0 ? 0 : y;
    long long w = std::min<long long>(m.width, width), h = std::min<long long>(m.height, height);
    if (width - px - w < 0) w = width - px;
    if (height - py - h < 0) h = height - py;
    const long long markEnd = m.offBits + static_cast<long long>(m.stride) * m.height;
    for (long long r = 0; r < h; ++r) {
        unsigned char* target = rows + (py + r) * stride + px * bytesPerPixel;
        const unsigned char* source = &mark[static_cast<size_t>(markEnd - (r + 1) * static_cast<long long>(m.stride))];
        for (long long c = 0; c < w; ++c, target += bytesPerPixel, source += 3) {
            if (source[0] == 0xFF && source[1] == 0xFF && source[2] == 0xFF) continue;  // white is no mark
            for (int k = 0; k < 3; ++k) target[k] = static_cast<unsigned char>(source[k] * target[k] / 255.0);
        }
    }
    return true;
}

}  // namespace varnel
