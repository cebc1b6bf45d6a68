#pragma once
// What clearing the preview canvas and drawing the picture behind the
// watermark leave on it, kept with what they were drawn from: rendering the
// same picture again (every change of a watermark setting does) copies the
// kept pixels back instead of scaling the picture once more.
#include <windows.h>

#include <functional>
#include <string>

#include "graphics/canvas/canvas.h"
#include "platform/bytes.h"
#include "platform/file_services.h"

namespace varnel {

// What a background is drawn from: the file at `path` as its stamp says it
// stands, or else the picture bytes `bytes` points to.
struct BackgroundSource {
    std::string path;
    FileStamp stamp;
    const Bytes* bytes = nullptr;
};

// Clears `canvas` and runs `draw`, which draws the source into `area` and
// says whether it could; or puts back what a successful drawing left last
// time for the same source, area and canvas, or what a preparation ahead
// left for them.
void ClearAndDrawBackground(Canvas& canvas, const BackgroundSource& source, const RECT& area,
                            const std::function<bool()>& draw);

// Takes up now what a preparation ahead left for the file source, the area
// and the canvas, as if a drawing had just left it; the next
// ClearAndDrawBackground of them copies it in.
void AdoptPreparedBackground(const Canvas& canvas, const BackgroundSource& source, const RECT& area);

// Draws a decoded picture the way the `draw` of a file source does, with
// the imaging service's graphics on a cleared surface of the canvas's size,
// and says whether it could. Runs on the decode worker, so it must touch
// nothing but its arguments.
using BackgroundPainter = std::function<bool(Gdiplus::GpGraphics* graphics, Gdiplus::GpBitmap* picture)>;

// Starts decoding the file at `path` on the decode worker and, there, paints
// what clearing `canvas` and drawing that file into `area` would leave; a
// ClearAndDrawBackground of the file, while it stands as it stood at this
// start, takes it up instead of drawing.
void PrepareBackgroundAhead(const std::string& path, const Canvas& canvas, const RECT& area,
                            BackgroundPainter paint);

}  // namespace varnel
