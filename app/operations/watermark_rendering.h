#pragma once
// Composing the preview: the picture, then the watermark of the current mode.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/operations/watermark_blend.h"
#include "platform/bytes.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

void RenderPreview();

// How many times the preview has been rendered in this run; a caller can
// tell from it whether a repaint happened in the meantime.
int RenderCount();

// Draws the picture (file bytes, or the file at a path) scaled into the
// rectangle of the preview canvas; false when no picture could be drawn.
bool DrawPictureBackground(const Bytes& picture, int x, int y, int width, int height);
bool DrawPictureBackground(const std::string& path, int x, int y, int width, int height);

// Starts decoding the file at `path` on a worker and, there, the work the
// preview will do with it: drawing it as the background, or in picture mode
// the panel's snapshot of it. A decode of its bytes takes the decode up; the
// rest is taken up by TakeUpPreparedFile, or by the rendering of the file.
void PrepareFileAhead(const std::string& path);

// Takes up what PrepareFileAhead made of the file at `path`, which the panel
// now shows, so that the worker is free for the next file.
void TakeUpPreparedFile(const std::string& path);

// Draws `text` (or, when it is empty, the watermark text, which it then
// becomes) at (x, y) on the preview canvas and presents it.
Gdiplus::RectF DrawTextWatermark(int x, int y, std::string& text, std::optional<std::string> fontName,
                                 std::optional<int> size, std::optional<COLORREF> color,
                                 std::optional<int> opacity, std::optional<int> style);

// A 0x00BBGGRR colour as the imaging service's 0xAARRGGBB.
int32_t MakeArgb(COLORREF color, int alpha, bool useAlpha);


}  // namespace varnel
