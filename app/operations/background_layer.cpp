#include "app/operations/background_layer.h"

#include "platform/bmp_format.h"
#include "platform/handles.h"
#include "platform/remembered_decode.h"

namespace varnel {

namespace {

// What a background on a canvas was drawn from and onto.
struct LayerKey {
    std::string path;
    FileStamp stamp;
    bool fromBytes = false;
    Bytes bytes;
    RECT area{};
    HDC canvasDc = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    int width = 0;
    int height = 0;

    void Set(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) {
        fromBytes = source.bytes != nullptr;
        path = fromBytes ? std::string() : source.path;
        stamp = source.stamp;
        bytes = fromBytes ? *source.bytes : Bytes();
        area = drawn;
        canvasDc = canvas.GetMemoryDc();
        graphics = canvas.GetGraphics();
        width = canvas.GetWidth();
        height = canvas.GetHeight();
    }
    bool Matches(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) const {
        if (canvasDc != canvas.GetMemoryDc() || graphics != canvas.GetGraphics() || width != canvas.GetWidth() ||
            height != canvas.GetHeight() || !EqualRect(&area, &drawn) || fromBytes != (source.bytes != nullptr)) {
            return false;
        }
        if (fromBytes) return *source.bytes == bytes;
        return !path.empty() && path == source.path && stamp == source.stamp;
    }
};

// The canvas content the last drawing of a background left.
struct KeptBackground {
    bool valid = false;
    LayerKey key;
    Bitmap pixels;
};

KeptBackground& Kept() {
    static KeptBackground kept;
    return kept;
}

bool Copy(HDC target, HDC source, int width, int height) {
    return BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
}

// A background painted on the decode worker; an empty path in the key means
// none. The user-interface thread writes the key before the worker starts
// and reads `pixels` only once the worker has ended.
struct PreparedBackground {
    LayerKey key;
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
    Bitmap pixels(CreateCompatibleBitmap(screen.get(), prepared.key.width, prepared.key.height));
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!pixels || !dc) return;
    {
        SelectScope select(dc.get(), pixels.get());
        ClearLikeCanvas(dc.get(), prepared.key.width, prepared.key.height);
        Gdiplus::GpGraphics* graphics = nullptr;
        if (Gdiplus::DllExports::GdipCreateFromHDC(dc.get(), &graphics) != Gdiplus::Ok || !graphics) return;
        const bool painted = paint(graphics, picture);
        Gdiplus::DllExports::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
        // A failed drawing is no background to take up: the rendering draws it itself.
        if (!painted) return;
    }
    prepared.pixels = std::move(pixels);
}

// The prepared background when it is the one asked for, taken out of the slot.
Bitmap TakePrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area) {
    PreparedBackground& prepared = Prepared();
    if (source.bytes || prepared.key.path.empty() || prepared.key.path != source.path) return Bitmap();
    WaitForDecodeAhead();
    Bitmap pixels = std::move(prepared.pixels);
    const bool same = pixels && prepared.key.Matches(canvas, source, area);
    prepared.key.path.clear();
    return same ? std::move(pixels) : Bitmap();
}

}  // namespace

void PrepareBackgroundAhead(const std::string& path, const Canvas& canvas, const RECT& area,
                            BackgroundPainter paint) {
    PreparedBackground& prepared = Prepared();
    // The worker may still be painting into the slot.
    WaitForDecodeAhead();
    prepared.pixels.reset();
    prepared.key.path.clear();
    BackgroundSource file{path, FileStamp(), nullptr};
    if (!ReadFileStamp(path, file.stamp) || canvas.GetWidth() <= 0 || canvas.GetHeight() <= 0) {
        DecodePictureAhead(path);
        return;
    }
    prepared.key.Set(canvas, file, area);
    DecodePictureAhead(path, [&prepared, paint = std::move(paint)](Gdiplus::GpBitmap* picture, const Bytes&) {
        PaintPrepared(prepared, paint, picture);
    });
}

void AdoptPreparedBackground(const Canvas& canvas, const BackgroundSource& source, const RECT& area) {
    Bitmap prepared = TakePrepared(canvas, source, area);
    if (!prepared) return;
    // What was prepared is exactly what a drawing would have left.
    KeptBackground& kept = Kept();
    kept.pixels = std::move(prepared);
    kept.key.Set(canvas, source, area);
    kept.valid = true;
}

void ClearAndDrawBackground(Canvas& canvas, const BackgroundSource& source, const RECT& area,
                            const std::function<bool()>& draw) {
    AdoptPreparedBackground(canvas, source, area);
    KeptBackground& kept = Kept();
    HDC canvasDc = canvas.GetMemoryDc();
    const int width = canvas.GetWidth(), height = canvas.GetHeight();
    if (kept.valid && kept.key.Matches(canvas, source, area)) {
        MemoryDc from(CreateCompatibleDC(canvasDc));
        SelectScope select(from.get(), kept.pixels.get());
        if (from && Copy(canvasDc, from.get(), width, height)) return;
    }
    kept.valid = false;
    canvas.Clear();
    // What a failed drawing left (a file locked for a moment, memory short)
    // is not kept: the next rendering tries again.
    if (!draw()) return;
    // A file that cannot be stamped may change unseen: it is drawn every time.
    if (!canvasDc || width <= 0 || height <= 0 || (!source.bytes && source.path.empty())) return;
    BmpHeader picture;
    if (source.bytes && !(ReadBmpHeader(*source.bytes, picture) && MayKeepPicture(picture.width, picture.height))) {
        return;
    }
    if (canvas.GetGraphics()) Gdiplus::DllExports::GdipFlush(canvas.GetGraphics(), Gdiplus::FlushIntentionSync);
    if (!kept.pixels || kept.key.width != width || kept.key.height != height) {
        kept.pixels.reset(CreateCompatibleBitmap(canvasDc, width, height));
        if (!kept.pixels) return;
    }
    MemoryDc into(CreateCompatibleDC(canvasDc));
    if (!into) return;
    {
        SelectScope select(into.get(), kept.pixels.get());
        if (!Copy(into.get(), canvasDc, width, height)) return;
    }
    kept.key.Set(canvas, source, area);
    kept.valid = true;
}

}  // namespace varnel
