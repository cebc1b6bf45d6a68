#include "app/operations/preview_renderer.h"

#include <algorithm>
#include <cstring>

#include "app/operations/watermark_rendering.h"
#include "platform/bmp_format.h"
#include "platform/bmp_image.h"
#include "platform/exif.h"
#include "platform/picture_codec.h"
#include "platform/file_services.h"
#include "platform/gdiplus_handles.h"
#include "platform/smooth_scale.h"

namespace varnel {

PreviewRenderer::~PreviewRenderer() { decodes_.WaitForWorker(); }

const Bytes& PreviewRenderer::PanelPicture(const Bytes& fileBytes) {
    BmpHeader header;
    if (IsWholeBmp24(fileBytes, &header) && header.offBits == 54) return fileBytes;
    return decodes_.DecodeToBmp24(fileBytes);
}

namespace {

// An opaque picture decoded to 24 bits (a JPEG, never transparent and never
// vectors, or what a panel shows) is scaled by the program's own filter:
// the imaging service's resampling costs several times as much on some
// systems. The surface may hold what the imaging service has not drawn yet.
bool DrawDecodedSmooth(HDC dc, Gdiplus::GpGraphics* graphics, const Bytes& bmp, int drawnWidth, int drawnHeight,
                       int surfaceWidth, int surfaceHeight, CoreShare cores = Cores::Both) {
    if (graphics) Gdiplus::DllExports::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
    return DrawBmpSmooth(dc, bmp, drawnWidth, drawnHeight, surfaceWidth, surfaceHeight, cores);
}

// A JPEG the imaging service decoded, or one the program's own decoder made
// into a picture from its pixels (which says it is such a picture).
bool IsJpegPicture(Gdiplus::GpBitmap* picture) {
    GUID format{};
    return Gdiplus::DllExports::GdipGetImageRawFormat(picture, &format) == Gdiplus::Ok &&
           (IsEqualGUID(format, Gdiplus::ImageFormatJPEG) || IsEqualGUID(format, Gdiplus::ImageFormatMemoryBMP));
}

// The smallest rectangle, in pixels from the top left, outside which two
// 24-bit BMP file images of the same size are alike; false when they are
// not such images of one size. Empty when they are alike everywhere.
bool ChangedArea(const Bytes& before, const Bytes& after, RECT& changed) {
    BmpHeader a, b;
    if (!IsWholeBmp24(before, &a) || !IsWholeBmp24(after, &b) || a.width != b.width || a.height != b.height ||
        a.offBits != b.offBits) {
        return false;
    }
    changed = RECT{a.width, a.height, 0, 0};
    const size_t used = static_cast<size_t>(a.width) * 3;
    for (int y = 0; y < a.height; ++y) {
        const size_t row = a.offBits + a.stride * static_cast<size_t>(a.height - 1 - y);
        const unsigned char* p = before.data() + row;
        const unsigned char* q = after.data() + row;
        if (std::memcmp(p, q, used) == 0) continue;
        size_t first = 0, last = used;
        while (p[first] == q[first]) ++first;
        while (p[last - 1] == q[last - 1]) --last;
        changed.left = std::min<LONG>(changed.left, static_cast<LONG>(first / 3));
        changed.right = std::max<LONG>(changed.right, static_cast<LONG>((last + 2) / 3));
        changed.top = std::min<LONG>(changed.top, y);
        changed.bottom = y + 1;
    }
    if (changed.left >= changed.right) changed = RECT{0, 0, 0, 0};
    return true;
}

}  // namespace

const ImageAttributes& PreviewRenderer::MirrorEdges() {
    // Made at first use: the imaging service runs by then.
    if (!mirrorEdges_.GetNativeHandle() && mirrorEdges_.Create()) mirrorEdges_.SetWrapMode(kPictureEdges);
    return mirrorEdges_;
}

bool PreviewRenderer::DrawPictureBackground(const Bytes& picture, int x, int y, int width, int height) {
    // What a panel shows is such a BMP already, opaque and decoded.
    if (x == 0 && y == 0 && canvas_.GetMemoryDc() && IsWholeBmp24(picture)) {
        return DrawDecodedSmooth(canvas_.GetMemoryDc(), canvas_.GetGraphics(), picture, width, height,
                                 canvas_.GetWidth(), canvas_.GetHeight());
    }
    Image loaded;
    // A failed load leaves no picture, which the drawing then reports.
    (void)loaded.LoadFromBytes(picture);
    return DrawWholePicture(canvas_, loaded, MirrorEdges(), static_cast<float>(x), static_cast<float>(y),
                            static_cast<float>(width), static_cast<float>(height));
}

Image& PreviewRenderer::PictureOfFile(const std::string& path, const Bytes& content, Image& fresh) {
    DecodedFile& cached = decodedFile_;
    if (cached.valid && cached.path == path && cached.content == content) return cached.image;
    cached.valid = false;
    // A file that could not be read is no picture now.
    if (content.empty()) return fresh;
    auto keep = [&] {
        cached.path = path;
        cached.content = content;
        cached.valid = true;
    };
    // Showing a file in the panel has just decoded these very bytes.
    if (Gdiplus::GpImage* shown = decodes_.CloneRemembered(content)) {
        cached.image.Dispose();
        cached.image.SetNativeHandle(shown);
        keep();
        return cached.image;
    }
    if (!fresh.LoadFromBytes(content)) return fresh;
    const Gdiplus::RotateFlipType turn = UprightTurn(ReadJpegOrientation(content));
    if (turn != Gdiplus::RotateNoneFlipNone) fresh.RotateFlip(turn);
    if (fresh.CloneInto(cached.image)) keep();
    return fresh;
}

bool PreviewRenderer::DrawFileBackground(const std::string& path, const Bytes& content, int width, int height) {
    if (canvas_.GetMemoryDc() && FormatOfBytes(content) == PictureFormat::Jpeg) {
        // Showing the file in the panel has decoded these very bytes.
        const Bytes& bmp = decodes_.DecodeToBmp24(content);
        if (!bmp.empty()) {
            return DrawDecodedSmooth(canvas_.GetMemoryDc(), canvas_.GetGraphics(), bmp, width, height + kFileOverhang,
                                     canvas_.GetWidth(), canvas_.GetHeight());
        }
    }
    Image fresh;
    Image& picture = PictureOfFile(path, content, fresh);
    return DrawWholePicture(canvas_, picture, MirrorEdges(), 0, 0, static_cast<float>(width),
                            static_cast<float>(height + kFileOverhang));
}

bool PreviewRenderer::DrawComposed(const Bytes& composed, int width, int height) {
    HDC dc = canvas_.GetMemoryDc();
    const int keptWidth = std::min(canvas_.GetWidth(), width), keptHeight = std::min(canvas_.GetHeight(), height);
    LaidSnapshot& base = keptSnapshot_;
    RECT changed{};
    BmpHeader header;
    // A composition of another picture, or one the mark covers mostly, is
    // scaled whole.
    if (!dc || keptWidth <= 0 || keptHeight <= 0 || !ChangedArea(base.pixels, composed, changed) ||
        !IsWholeBmp24(composed, &header) ||
        static_cast<long long>(changed.right - changed.left) * (changed.bottom - changed.top) * 2 >
            static_cast<long long>(header.width) * header.height) {
        return DrawPictureBackground(composed, 0, 0, width, height);
    }
    ScaledPixels& scaled = base.scaled;
    if (!scaled.Fits(width, height, keptWidth, keptHeight) &&
        !scaled.Make(base.pixels, width, height, keptWidth, keptHeight, Cores::Both)) {
        return DrawPictureBackground(composed, 0, 0, width, height);
    }
    composedScaled_ = scaled.pixels;
    if (!RescaleChanged(BmpTopRow(composed, header), -static_cast<ptrdiff_t>(header.stride), header.width, header.height, width, height,
                        keptWidth, keptHeight, changed, composedScaled_)) {
        return DrawPictureBackground(composed, 0, 0, width, height);
    }
    // The surface may hold what the imaging service has not drawn yet.
    if (canvas_.GetGraphics()) Gdiplus::DllExports::GdipFlush(canvas_.GetGraphics(), Gdiplus::FlushIntentionSync);
    return DrawScaledRows(dc, composedScaled_, keptWidth, keptHeight);
}

void PreviewRenderer::Render(const PreviewScene& scene) {
    ++renders_;
    const PreviewSize size = scene.size;
    const RECT area{0, 0, size.width, size.height};
    const WatermarkMode mode = scene.settings.mode;
    // Picture mode draws the composition alone, no background behind it.
    // Nor is what it draws kept as the background is: its own drawing scales
    // only what the mark changed, which costs less than keeping a copy of
    // every composition, none of which a run shows twice.
    if (mode == WatermarkMode::Picture) {
        canvas_.Clear();
        // The canvas is what reaches the panel last: it must show the
        // watermarked picture, or the preview and every snapshot of it would
        // lose the watermark again.
        if (scene.composed) (void)DrawComposed(*scene.composed, size.width, size.height);
        return;
    }
    if (!scene.picturePath.empty() && FindFirstFileExists(scene.picturePath)) {
        // What the file holds now decides what is drawn and what is reused.
        const Bytes content = ReadWholeFile(scene.picturePath);
        backgrounds_.ClearAndDraw(canvas_, BackgroundSource{scene.picturePath, &content}, area, [&] {
            return DrawFileBackground(scene.picturePath, content, size.width, size.height);
        });
    } else {
        const Bytes none;
        const Bytes& shown = scene.shownPicture ? *scene.shownPicture : none;
        backgrounds_.ClearAndDraw(canvas_, BackgroundSource{std::string(), &shown}, area,
                                  [&] { return DrawPictureBackground(shown, 0, 0, size.width, size.height); });
    }
    if (mode == WatermarkMode::Text) DrawTextWatermark(canvas_, scene.settings, scene.settings.style);
}

bool PreviewRenderer::ScaledPixels::Make(const Bytes& bmp, int drawnW, int drawnH, int keptW, int keptH,
                                         CoreShare cores) {
    drawnWidth = drawnW;
    drawnHeight = drawnH;
    width = keptW;
    height = keptH;
    return ScaleBmpRows(bmp, drawnW, drawnH, keptW, keptH, pixels, cores);
}

bool PreviewRenderer::LaidSnapshot::Matches(const Bytes& bmp, const LaidBacking& other) const {
    return !pixels.empty() && backing.width == other.width && backing.height == other.height && picture == bmp;
}

void PreviewRenderer::LaidSnapshot::Forget() {
    // Its pixels are written over whole, in the room they hold.
    picture.clear();
    backing = LaidBacking();
    scaled.pixels.clear();
}

void PreviewRenderer::SnapshotOfLaidPicture(const Bytes& picture, const LaidBacking& backing, Bytes& into) {
    if (keptSnapshot_.Matches(picture, backing)) {
        into = keptSnapshot_.pixels;
        return;
    }
    BmpHeader shown;
    if (!ReadBmpHeader(picture, shown)) {
        into.clear();
        return;
    }
    // Made in the room of the snapshot before, its pixels written over.
    SnapshotOfStretchedPicture(picture, backing.width, backing.height, shown.width, shown.height, into);
    if (!into.empty() && MayKeepPicture(shown.width, shown.height)) {
        keptSnapshot_ = LaidSnapshot{picture, backing, into, ScaledPixels()};
    }
}

void PreviewRenderer::PrepareAhead(const std::string& path, WatermarkMode mode, PreviewSize size,
                                   const LaidBacking& backing) {
    // The worker may still be writing into what is prepared.
    decodes_.WaitForWorker();
    const CoreShare cores = decodes_.WorkerCores();
    // Picture mode draws the composed picture, not the file; what it needs
    // of the file is the snapshot of it laid alone, and that snapshot's
    // scaling to the preview, which drawing any composition of it starts from.
    if (mode == WatermarkMode::Picture) {
        preparedSnapshot_.Forget();
        preparedSnapshotPath_ = path;
        const int keptWidth = std::min(canvas_.GetWidth(), size.width);
        const int keptHeight = std::min(canvas_.GetHeight(), size.height);
        decodes_.DecodeAhead(path, [this, backing, size, keptWidth, keptHeight, cores](
                                       Gdiplus::GpBitmap*, const Bytes&, const Bytes& bmp) {
            LaidSnapshot& made = preparedSnapshot_;
            BmpHeader header;
            if (!ReadBmpHeader(bmp, header)) return;
            SnapshotOfStretchedPicture(bmp, backing.width, backing.height, header.width, header.height, made.pixels,
                                       cores);
            if (made.pixels.empty()) return;
            made.picture = bmp;
            made.backing = backing;
            if (keptWidth > 0 && keptHeight > 0) {
                (void)made.scaled.Make(made.pixels, size.width, size.height, keptWidth, keptHeight, cores);
            }
        });
        return;
    }
    // Out of picture mode, the room kept for its next snapshot goes.
    preparedSnapshot_ = LaidSnapshot();
    preparedSnapshotPath_.clear();
    const RECT area{0, 0, size.width, size.height};
    // The same drawing as the rendering's, with the worker's own objects and
    // the flat calls alone: the wrappers record their status where this
    // thread reads it.
    backgrounds_.PrepareAhead(decodes_, path, canvas_, area,
                              [size, cores, surfaceWidth = canvas_.GetWidth(), surfaceHeight = canvas_.GetHeight()](
                                  HDC dc, Gdiplus::GpGraphics* graphics, Gdiplus::GpBitmap* picture,
                                  const Bytes& bmp) {
        using namespace Gdiplus::DllExports;
        if (IsJpegPicture(picture)) {
            return DrawDecodedSmooth(dc, graphics, bmp, size.width, size.height + kFileOverhang, surfaceWidth,
                                     surfaceHeight, cores);
        }
        ImageAttributesOwner mirrorEdges = NewImageAttributes();
        if (!mirrorEdges) return false;
        UINT width = 0, height = 0;
        return GdipSetImageAttributesWrapMode(mirrorEdges.get(), kPictureEdges, 0, FALSE) == Gdiplus::Ok &&
               GdipGetImageWidth(picture, &width) == Gdiplus::Ok &&
               GdipGetImageHeight(picture, &height) == Gdiplus::Ok &&
               GdipDrawImageRectRect(graphics, picture, 0, 0, static_cast<float>(size.width),
                                     static_cast<float>(size.height + kFileOverhang), 0, 0,
                                     static_cast<float>(width), static_cast<float>(height), Gdiplus::UnitPixel,
                                     mirrorEdges.get(), nullptr, nullptr) == Gdiplus::Ok;
    });
}

void PreviewRenderer::TakeUpPrepared(const std::string& path, const Bytes& content, WatermarkMode mode,
                                     PreviewSize size) {
    if (mode == WatermarkMode::Picture) {
        if (preparedSnapshotPath_.empty() || preparedSnapshotPath_ != path) return;
        decodes_.WaitForWorker();
        if (!preparedSnapshot_.picture.empty()) std::swap(keptSnapshot_, preparedSnapshot_);
        // The worker makes the next snapshot in the room of the one before,
        // but never one of a picture larger than it decodes ahead (three
        // bytes a pixel, and the rows' padding).
        if (preparedSnapshot_.picture.capacity() > static_cast<size_t>(kDecodeAheadPixels) * 4) {
            preparedSnapshot_ = LaidSnapshot();
        }
        preparedSnapshot_.Forget();
        preparedSnapshotPath_.clear();
        return;
    }
    if (content.empty()) return;
    backgrounds_.AdoptPrepared(canvas_, BackgroundSource{path, &content}, RECT{0, 0, size.width, size.height});
}

}  // namespace varnel
