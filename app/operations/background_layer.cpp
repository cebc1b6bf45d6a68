#include "app/operations/background_layer.h"

#include "platform/bmp_format.h"
#include "platform/gdiplus_handles.h"

namespace varnel {

namespace {

bool Copy(HDC target, HDC source, int width, int height) {
    return BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
}

// Clears the surface as Canvas::Clear does: a black rectangle without an
// outline, one pixel past the right and bottom edges.
void ClearLikeCanvas(HDC dc, int width, int height) {
    Pen invisible(CreatePen(PS_NULL, 0, 0));
    SelectScope pen(dc, invisible.get());
    SelectScope brush(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 0, 0, width + 1, height + 1);
}

// On the worker: a surface like the canvas's, cleared, with the picture
// painted; empty when any of it failed.
Bitmap PaintPrepared(int width, int height, const BackgroundPainter& paint, Gdiplus::GpBitmap* picture,
                     const Bytes& bmp) {
    WindowDc screen(nullptr);
    Bitmap pixels(CreateCompatibleBitmap(screen.get(), width, height));
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!pixels || !dc) return Bitmap();
    SelectScope select(dc.get(), pixels.get());
    ClearLikeCanvas(dc.get(), width, height);
    GraphicsOwner graphics = GraphicsOnDc(dc.get());
    if (!graphics) return Bitmap();
    const bool painted = paint(dc.get(), graphics.get(), picture, bmp);
    Gdiplus::DllExports::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
    // A failed drawing is no background to take up: the rendering draws it itself.
    return painted ? std::move(pixels) : Bitmap();
}

}  // namespace

void BackgroundLayer::Key::Set(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) {
    path = source.path;
    bytes = source.bytes ? *source.bytes : Bytes();
    area = drawn;
    canvasDc = canvas.GetMemoryDc();
    graphics = canvas.GetGraphics();
    width = canvas.GetWidth();
    height = canvas.GetHeight();
}

bool BackgroundLayer::Key::Matches(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) const {
    if (canvasDc != canvas.GetMemoryDc() || graphics != canvas.GetGraphics() || width != canvas.GetWidth() ||
        height != canvas.GetHeight() || !EqualRect(&area, &drawn) || !source.bytes) {
        return false;
    }
    return path == source.path && bytes == *source.bytes;
}

Bitmap BackgroundLayer::TakePrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area) {
    if (source.path.empty() || preparedKey_.path != source.path) return Bitmap();
    if (preparedBy_) preparedBy_->WaitForWorker();
    Bitmap pixels = std::move(preparedPixels_);
    const bool same = pixels && preparedKey_.Matches(canvas, source, area);
    preparedKey_.path.clear();
    return same ? std::move(pixels) : Bitmap();
}

void BackgroundLayer::PrepareAhead(DecodeCache& decodes, const std::string& path, const Canvas& canvas,
                                   const RECT& area, BackgroundPainter paint) {
    // The worker may still be painting into the slot.
    decodes.WaitForWorker();
    preparedPixels_.reset();
    preparedKey_.path.clear();
    preparedBy_ = &decodes;
    if (path.empty() || canvas.GetWidth() <= 0 || canvas.GetHeight() <= 0) {
        decodes.DecodeAhead(path);
        return;
    }
    // The bytes of the key are the ones the worker reads and decodes.
    preparedKey_.Set(canvas, BackgroundSource{path, nullptr}, area);
    decodes.DecodeAhead(path, [this, width = preparedKey_.width, height = preparedKey_.height,
                               paint = std::move(paint)](Gdiplus::GpBitmap* picture, const Bytes& input,
                                                         const Bytes& bmp) {
        preparedPixels_ = PaintPrepared(width, height, paint, picture, bmp);
        if (preparedPixels_) preparedKey_.bytes = input;
    });
}

void BackgroundLayer::AdoptPrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area) {
    Bitmap prepared = TakePrepared(canvas, source, area);
    if (!prepared) return;
    // What was prepared is exactly what a drawing would have left.
    keptPixels_ = std::move(prepared);
    keptKey_.Set(canvas, source, area);
    keptValid_ = true;
}

void BackgroundLayer::ClearAndDraw(Canvas& canvas, const BackgroundSource& source, const RECT& area,
                                   const std::function<bool()>& draw) {
    AdoptPrepared(canvas, source, area);
    HDC canvasDc = canvas.GetMemoryDc();
    const int width = canvas.GetWidth(), height = canvas.GetHeight();
    if (keptValid_ && keptKey_.Matches(canvas, source, area)) {
        MemoryDc from(CreateCompatibleDC(canvasDc));
        SelectScope select(from.get(), keptPixels_.get());
        if (from && Copy(canvasDc, from.get(), width, height)) return;
    }
    keptValid_ = false;
    canvas.Clear();
    // What a failed drawing left (a file locked for a moment, memory short)
    // is not kept: the next rendering tries again.
    if (!draw()) return;
    // Without the bytes it came from (a file that could not be read) a
    // drawing cannot be told apart from the next one: it is drawn every time.
    if (!canvasDc || width <= 0 || height <= 0 || !source.bytes || source.bytes->empty()) return;
    BmpHeader picture;
    if (source.path.empty() &&
        !(ReadBmpHeader(*source.bytes, picture) && MayKeepPicture(picture.width, picture.height))) {
        return;
    }
    if (canvas.GetGraphics()) Gdiplus::DllExports::GdipFlush(canvas.GetGraphics(), Gdiplus::FlushIntentionSync);
    if (!keptPixels_ || keptKey_.width != width || keptKey_.height != height) {
        keptPixels_.reset(CreateCompatibleBitmap(canvasDc, width, height));
        if (!keptPixels_) return;
    }
    MemoryDc into(CreateCompatibleDC(canvasDc));
    if (!into) return;
    {
        SelectScope select(into.get(), keptPixels_.get());
        if (!Copy(into.get(), canvasDc, width, height)) return;
    }
    keptKey_.Set(canvas, source, area);
    keptValid_ = true;
}

}  // namespace varnel
