#include "app/operations/watermark_blend.h"

#include <algorithm>
#include <cstdlib>

#include "platform/bmp_format.h"

namespace varnel {

// Works on the file images in place, without any bitmap objects. Headers
// are trusted only as far as the arrays reach: a header that claims more
// pixels than its array holds gives the empty result.
bool BlendPictureWatermarkInto(const Bytes& base, const Bytes& mark, int x, int y, Bytes& composed) {
    BmpHeader b;
    if (!IsWholeBmp24(base, &b) || !IsWholeBmp24(mark)) {
        composed.clear();
        return false;
    }
    composed = base;
    return MultiplyMarkInto(BmpTopRow(composed, b), b.width, b.height, -static_cast<int>(b.stride), 3, mark, x, y);
}

Bytes BlendPictureWatermark(const Bytes& base, const Bytes& mark, int x, int y) {
    Bytes composed;
    BlendPictureWatermarkInto(base, mark, x, y, composed);
    return composed;
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
