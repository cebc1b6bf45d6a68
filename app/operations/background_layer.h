#pragma once
// What clearing the preview canvas and drawing the picture behind the
// watermark leave on it, kept with what they were drawn from: rendering the
// same picture again (every change of a watermark setting does) copies the
// kept pixels back instead of scaling the picture once more.
#include <windows.h>

#include <functional>
#include <string>

#include "app/operations/decode_cache.h"
#include "graphics/canvas/canvas.h"
#include "platform/bytes.h"
#include "platform/file_services.h"
#include "platform/handles.h"

namespace varnel {

// What a background is drawn from: the file at `path` holding the bytes
// `bytes` points to, or with no path the picture bytes alone. A background
// is reused only for the very same bytes: a file rewritten with its size and
// time of writing kept (a copy tool, a FAT clock) is still another picture.
struct BackgroundSource {
    std::string path;
    const Bytes* bytes = nullptr;
};

// Draws a decoded picture (also given as a 24-bit BMP file image) the way
// the drawing of a file source does, on a cleared surface of the canvas's
// size (its DC, and the imaging service's graphics on it), and says whether
// it could. Runs on the decode worker, so it must touch nothing but its
// arguments.
using BackgroundPainter =
    std::function<bool(HDC dc, Gdiplus::GpGraphics* graphics, Gdiplus::GpBitmap* picture, const Bytes& bmp)>;

class BackgroundLayer {
public:
    // What a background on a canvas was drawn from and onto.
    struct Key {
        std::string path;
        Bytes bytes;
        RECT area{};
        HDC canvasDc = nullptr;
        Gdiplus::GpGraphics* graphics = nullptr;
        int width = 0;
        int height = 0;

        void Set(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn);
        bool Matches(const Canvas& canvas, const BackgroundSource& source, const RECT& drawn) const;
    };

    // Clears `canvas` and runs `draw`, which draws the source into `area`
    // and says whether it could; or puts back what a successful drawing left
    // last time for the same source, area and canvas, or what a preparation
    // ahead left for them.
    void ClearAndDraw(Canvas& canvas, const BackgroundSource& source, const RECT& area,
                      const std::function<bool()>& draw);

    // Takes up now what a preparation ahead left for the file source, the
    // area and the canvas, as if a drawing had just left it, when the worker
    // decoded the very bytes the source holds.
    void AdoptPrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area);

    // Starts decoding the file at `path` on the worker of `decodes` and,
    // there, paints what clearing `canvas` and drawing that file into `area`
    // would leave; a ClearAndDraw of the file, while it holds the bytes the
    // worker read, takes it up instead of drawing.
    void PrepareAhead(DecodeCache& decodes, const std::string& path, const Canvas& canvas, const RECT& area,
                      BackgroundPainter paint);

private:
    Bitmap TakePrepared(const Canvas& canvas, const BackgroundSource& source, const RECT& area);

    // The canvas content the last drawing left.
    bool keptValid_ = false;
    Key keptKey_;
    Bitmap keptPixels_;
    // A background painted on the decode worker; an empty path in the key
    // means none. This thread writes the key before the worker starts and
    // reads the pixels only once the worker has ended.
    Key preparedKey_;
    Bitmap preparedPixels_;
    DecodeCache* preparedBy_ = nullptr;
};

}  // namespace varnel
