#include "app/operations/background_layer.h"

#include "platform/handles.h"
#include "platform/remembered_decode.h"

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

// A background painted on the decode worker. The user-interface thread
// writes the key before the worker starts and reads `pixels` only once the
// worker has ended.
struct PreparedBackground {
    std::string path;
    FileStamp stamp;
    RECT area{};
    HDC canvasDc = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    int width = 0;
    int height = 0;
    Bitmap pixels;
};

// Never destroyed: the worker may still be painting while the process ends.
PreparedBackground& Prepared() {
    static PreparedBackground& prepared = *new PreparedBackground;
    return prepared;
}

// Clears the surface as Canvas::Clear does: a black rectangle without an
// outline, one pixel past the right and bottom edges.
void ClearLikeCanvas(HDC dc, int width, int height) {
    Pen invisible(CreatePen(PS_NULL, 0, 0));
    SelectScope pen(dc, invisible.get());
    SelectScope brush(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 0, 0, width + 1, height + 1);
}

// On the worker: a surface like the canvas's, cleared, with the picture painted.
void PaintPrepared(PreparedBackground& prepared, const BackgroundPainter& paint, Gdiplus::GpBitmap* picture) {
    WindowDc screen(nullptr);
    Bitmap pixels(CreateCompatibleBitmap(screen.get(), prepared.width, prepared.height));
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!pixels || !dc) return;
    {
        SelectScope select(dc.get(), pixels.get());
        ClearLikeCanvas(dc.get(), prepared.width, prepared.height);
        Gdiplus::GpGraphics* graphics = nullptr;
        if (Gdiplus::DllExports::GdipCreateFromHDC(dc.get(), &graphics) != Gdiplus::Ok || !graphics) return;
        paint(graphics, picture);
        Gdiplus::DllExports::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
    prepared.pixels = std::move(pixels);
}

// The prepared background when it is the one asked for, taken out of the slot.
Bitmap TakePrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area) {
    PreparedBackground& prepared = Prepared();
    if (source.bytes || prepared.path.empty() || prepared.path != source.path) return Bitmap();
    WaitForDecodeAhead();
    Bitmap pixels = std::move(prepared.pixels);
    const bool same = pixels && prepared.stamp == source.stamp && EqualRect(&prepared.area, &area) &&
                      prepared.canvasDc == canvas.GetMemoryDc() && prepared.graphics == canvas.GetGraphics() &&
                      prepared.width == canvas.GetWidth() && prepared.height == canvas.GetHeight();
    prepared.path.clear();
    return same ? std::move(pixels) : Bitmap();
}

}  // namespace

void PrepareBackgroundAhead(const std::string& path, const Canvas& canvas, const RECT& area,
                            BackgroundPainter paint) {
    PreparedBackground& prepared = Prepared();
    // The worker may still be painting into the slot.
    WaitForDecodeAhead();
    prepared.pixels.reset();
    prepared.path.clear();
    if (!ReadFileStamp(path, prepared.stamp) || canvas.GetWidth() <= 0 || canvas.GetHeight() <= 0) {
        DecodePictureAhead(path);
        return;
    }
    prepared.path = path;
    prepared.area = area;
    prepared.canvasDc = canvas.GetMemoryDc();
    prepared.graphics = canvas.GetGraphics();
    prepared.width = canvas.GetWidth();
    prepared.height = canvas.GetHeight();
    DecodePictureAhead(path, [&prepared, paint = std::move(paint)](Gdiplus::GpBitmap* picture, const Bytes&) {
        PaintPrepared(prepared, paint, picture);
    });
}

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
    if (Bitmap prepared = TakePrepared(canvas, source, area)) {
        MemoryDc from(CreateCompatibleDC(canvasDc));
        if (from) {
            SelectScope select(from.get(), prepared.get());
            if (Copy(canvasDc, from.get(), width, height)) {
                // What was prepared is exactly what is kept from now on.
                kept.pixels = std::move(prepared);
                kept.path = source.path;
                kept.stamp = source.stamp;
                kept.bytes.clear();
                kept.area = area;
                kept.canvasDc = canvasDc;
                kept.graphics = canvas.GetGraphics();
                kept.width = width;
                kept.height = height;
                kept.valid = true;
                return;
            }
        }
    }
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
