#include "platform/components.h"

#include <algorithm>

#include "platform/bmp_format.h"
#include "platform/smooth_scale.h"

namespace varnel {

bool PictureBox::Create(HWND parent) { return CreateSurface(parent, WS_EX_CLIENTEDGE); }

void PictureBox::LayPicture(HDC dc, int width, int height) const {
    BmpHeader header;
    if (!IsWholeBmp24(Picture(), &header)) return;
    // Shown whole: scaled down to fit the box, never enlarged.
    double scale = std::min({1.0, static_cast<double>(width) / header.width,
                             static_cast<double>(height) / header.height});
    int w = std::max(1, static_cast<int>(header.width * scale));
    int h = std::max(1, static_cast<int>(header.height * scale));
    DrawBmpSmooth(dc, Picture(), w, h, w, h);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDBLCLK) {
        Raise(EventKind::DoubleClicked);
        return 0;
    }
    return PictureSurface::HandleMessage(message, wParam, lParam);
}

}  // namespace varnel
