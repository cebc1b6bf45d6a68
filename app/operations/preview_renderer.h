#pragma once
// The preview's pipeline and everything it keeps between renderings: the
// canvas, the remembered decodes, the kept and prepared backgrounds, the
// snapshots picture mode multiplies into, and the worker that prepares the
// next file of a run. A rendering draws into the canvas; showing the result
// is the caller's.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/operations/background_layer.h"
#include "app/operations/decode_cache.h"
#include "app/operations/watermark_settings.h"
#include "graphics/canvas/canvas.h"
#include "graphics/canvas/imaging_objects.h"
#include "graphics/objects/image.h"
#include "platform/bytes.h"
#include "platform/cores.h"

namespace varnel {

// What a rendering shows: the picture behind the watermark comes from the
// file at `picturePath` while it exists, else from `shownPicture` (any
// picture file's bytes); in picture mode it is `composed` instead, with no
// text.
struct PreviewScene {
    WatermarkSettings settings;
    PreviewSize size;
    std::string picturePath;
    const Bytes* shownPicture = nullptr;
    const Bytes* composed = nullptr;
};

// The size of the backing a picture is laid on before its snapshot is
// taken. The picture is stretched over all of it: no fill shows.
struct LaidBacking {
    int width = 0, height = 0;
};

class PreviewRenderer {
public:
    PreviewRenderer() = default;
    PreviewRenderer(const PreviewRenderer&) = delete;
    PreviewRenderer& operator=(const PreviewRenderer&) = delete;
    // The worker ends before what it writes into goes.
    ~PreviewRenderer();

    Canvas& GetCanvas() { return canvas_; }
    const Canvas& GetCanvas() const { return canvas_; }

    // A picture file's bytes as the 24-bit BMP file image a panel shows: a
    // plain 24-bit BMP as it is, anything else decoded once however often
    // the same bytes come back; empty when they are no picture.
    // The result lives until the next call (when it is `fileBytes`
    // themselves, as long as they do).
    const Bytes& PanelPicture(const Bytes& fileBytes);
    // A copy, for the caller to own, of the picture PanelPicture last decoded
    // when it came from exactly these bytes; null otherwise.
    Gdiplus::GpImage* CloneRemembered(const Bytes& fileBytes) const { return decodes_.CloneRemembered(fileBytes); }
    // The picture PanelPicture last decoded, from exactly these bytes,
    // handed over for the caller to draw on; false when there is none.
    bool TakeRemembered(const Bytes& fileBytes, DecodeCache::Decoded& into) {
        return decodes_.TakeRemembered(fileBytes, into);
    }
    // Starts decoding a picture file's bytes on the worker; PanelPicture of
    // the same bytes takes that decode up.
    void DecodeAhead(Bytes fileBytes) { decodes_.DecodeAhead(std::move(fileBytes)); }

    // Clears the canvas and draws the scene into (0, 0, size).
    void Render(const PreviewScene& scene);
    // How many renderings there have been: a caller can tell from it whether
    // one happened in the meantime.
    int RenderCount() const { return renders_; }

    // Draws the picture (file bytes) scaled into the rectangle of the
    // canvas; false when no picture could be drawn.
    bool DrawPictureBackground(const Bytes& picture, int x, int y, int width, int height);

    // The snapshot, at the picture's own size, of `picture` (a 24-bit BMP
    // file image of the file at `path`) laid alone on `backing`: what
    // picture mode multiplies the mark into, written into `into` (its room
    // reused; empty when none could be taken). Made once for the same
    // picture and backing.
    void SnapshotOfLaidPicture(const Bytes& picture, const LaidBacking& backing, Bytes& into);

    // Starts decoding the file at `path` on the worker and, there, the work
    // a rendering in `mode` will do with it: drawing it as the background
    // into `size`, or in picture mode its snapshot on `backing` and that
    // snapshot's scaling to `size`.
    void PrepareAhead(const std::string& path, WatermarkMode mode, PreviewSize size, const LaidBacking& backing);
    // Takes up what PrepareAhead made of the file at `path`, which now holds
    // `content` (the bytes just shown), so that the worker is free for the
    // next file.
    void TakeUpPrepared(const std::string& path, const Bytes& content, WatermarkMode mode, PreviewSize size);

private:
    // The picture of the file at `path`, which holds `content`: the kept
    // decode when it came from the same bytes, or else `fresh`, loaded now.
    Image& PictureOfFile(const std::string& path, const Bytes& content, Image& fresh);
    // Draws that picture as the background, stretched as a file is.
    bool DrawFileBackground(const std::string& path, const Bytes& content, int width, int height);
    const ImageAttributes& MirrorEdges();

    // Draws a composition of the kept snapshot with a mark, scaled into
    // width x height of the canvas: the snapshot's own scaling, made once,
    // with only what the mark changed scaled again.
    bool DrawComposed(const Bytes& composed, int width, int height);

    // Pixels scaled to be drawn at drawnWidth x drawnHeight, of which the
    // top left width x height are kept.
    struct ScaledPixels {
        std::vector<uint32_t> pixels;
        int drawnWidth = 0, drawnHeight = 0, width = 0, height = 0;
        bool Fits(int drawnW, int drawnH, int keptW, int keptH) const {
            return !pixels.empty() && drawnWidth == drawnW && drawnHeight == drawnH && width == keptW &&
                   height == keptH;
        }
        // Scales `bmp` to drawnW x drawnH, keeping the top left keptW x
        // keptH; false, and nothing made, when it could not.
        bool Make(const Bytes& bmp, int drawnW, int drawnH, int keptW, int keptH, CoreShare cores);
    };

    // A snapshot of a laid picture and what it was taken from.
    struct LaidSnapshot {
        Bytes picture;
        LaidBacking backing;
        Bytes pixels;
        // The snapshot scaled as a composition of it is drawn; made when
        // first needed, or ahead with the snapshot.
        ScaledPixels scaled;
        bool Matches(const Bytes& bmp, const LaidBacking& other) const;
        // Holds no snapshot, its room kept for the next one.
        void Forget();
    };

    Canvas canvas_;
    ImageAttributes mirrorEdges_;
    int renders_ = 0;
    // The last picture decoded from a file, kept with the bytes it came from
    // and used again only for the same bytes. A clone holds the same pixels
    // in the same format, so drawing it gives what drawing a fresh decode gives.
    struct DecodedFile {
        std::string path;
        Bytes content;
        Image image;
        bool valid = false;
    } decodedFile_;
    BackgroundLayer backgrounds_;
    LaidSnapshot keptSnapshot_;
    // The last composition drawn, scaled: room reused from one to the next.
    std::vector<uint32_t> composedScaled_;
    // Written by this thread before the worker starts, filled in by the
    // worker, read only once the worker has ended. Taken up, it changes
    // places with the kept one, whose room the next one is made in.
    std::string preparedSnapshotPath_;
    LaidSnapshot preparedSnapshot_;
    // Last: the worker writes into the members above, so it must end first.
    DecodeCache decodes_;
};

}  // namespace varnel
