#pragma once
// What a watermark is made of, as plain values: the shell reads them from
// the settings row, the operations take them.
#include <windows.h>

#include <cstdint>
#include <string>

namespace varnel {

enum class WatermarkMode : int32_t { None = 0, Text = 1, Picture = 2 };

// The imaging service's own style numbers; the settings row offers bold,
// bold italic and underline.
enum class TextStyle : int32_t { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3, Underline = 4 };

struct PreviewSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct WatermarkPosition {
    int32_t x = 0;
    int32_t y = 0;
};

struct WatermarkSettings {
    WatermarkMode mode = WatermarkMode::None;
    TextStyle style = TextStyle::Bold;
    std::string text;
    std::string fontName;
    int size = 0;               // pixels; 0 (or no size chosen) draws at 16
    COLORREF color = 0x0000FF;  // 0x00BBGGRR
    int opacity = 0;            // 1..255; anything else draws at 150
    WatermarkPosition position;
};

}  // namespace varnel
