#pragma once
// Text that always shows: characters the chosen face has no glyphs for (a
// Latin face given Chinese) are drawn in an installed face that has them.
#include <optional>
#include <string>

#include "app/operations/watermark_settings.h"
#include "platform/gdiplus_flat.h"

namespace varnel {

// An installed face with glyphs for every character of `text` (UTF-16);
// empty when none of the faces known to cover Chinese is there.
std::string FaceWithGlyphs(const std::wstring& text);

// Whether the system's font list has this face (not a stand-in for it).
bool IsFaceInstalled(const std::string& face);

// Draws the settings' text at (x, y) on `graphics` run by run, each run in
// the chosen face or, where that face lacks the glyphs, in one that has
// them, and gives the box it took. Nothing, and no drawing, when the chosen
// face has every glyph (the caller draws the text whole then) or no face has.
std::optional<Gdiplus::RectF> DrawTextWithFallback(Gdiplus::GpGraphics* graphics, const WatermarkSettings& settings,
                                                   TextStyle style, float x, float y);

}  // namespace varnel
