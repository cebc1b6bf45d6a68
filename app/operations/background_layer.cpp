#include "app/operations/background_layer.h"

#include "platform/handles.h"

namespace varnel {

namespace {

struct KeptBackground {
    bool valid = false;
    std::string path;
    FileStamp stamp;
    Bytes bytes;
    RECT area{};
    HDC canvasDc = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    int width = 0;
    int height = 0;
    Bitmap pixels;

    bool Matches(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) const {
        if (!valid || canvasDc != canvas.GetMemoryDc() || graphics != canvas.GetGraphics() ||
            width != canvas.GetWidth() || height != canvas.GetHeight() || !EqualRect(&area, &drawn)) {
            return false;
        }
        if (source.bytes) return path.empty() && *source.bytes == bytes;
        return !path.empty() && path == source.path && stamp == source.stamp;
    }
};

KeptBackground& Kept() {
    static KeptBackground kept;
    return kept;
}

bool Copy(HDC target, HDC source, int width, int height) {
    return BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
}

}  // namespace

void ClearAndDrawBackground(Canvas& canvas, const BackgroundSource& source, const RECT& area,
                            const std::function<void()>& draw) {
    KeptBackground& kept = Kept();
    HDC canvasDc = canvas.GetMemoryDc();
    const int width = canvas.GetWidth(), height = canvas.GetHeight();
    if (kept.Matches(canvas, source, area)) {
        MemoryDc from(CreateCompatibleDC(canvasDc));
        SelectScope select(from.get(), kept.pixels.get());
        if (from && Copy(canvasDc, from.get(), width, height)) return;
    }
    kept.valid = false;
    canvas.Clear();
    draw();
    // A file that cannot be stamped may change unseen: it is drawn every time.
    if (!canvasDc || width <= 0 || height <= 0 || (!source.bytes && source.path.empty())) return;
    if (canvas.GetGraphics()) Gdiplus::DllExports::GdipFlush(canvas.GetGraphics(), Gdiplus::FlushIntentionSync);
    if (!kept.pixels || kept.width != width || kept.height != height) {
        kept.pixels.reset(CreateCompatibleBitmap(canvasDc, width, height));
        if (!kept.pixels) return;
    }
    MemoryDc into(CreateCompatibleDC(canvasDc));
    if (!into) return;
    {
        SelectScope select(into.get(), kept.pixels.get());
        if (!Copy(into.get(), canvasDc, width, height)) return;
    }
    kept.path = source.bytes ? std::string() : source.path;
    kept.stamp = source.stamp;
    kept.bytes = source.bytes ? *source.bytes : Bytes();
    kept.area = area;
    kept.canvasDc = canvasDc;
    kept.graphics = canvas.GetGraphics();
    kept.width = width;
    kept.height = height;
    kept.valid = true;
}

}  // namespace varnel
